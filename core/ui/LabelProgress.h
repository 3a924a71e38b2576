// Progress shown in a status label. Every text is set; the label is repainted
// at most about 30 times a second so drawing never slows a long run.
#pragma once

#include "core/Progress.h"

#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QLineEdit;
class QWidget;

namespace orvik {

class LabelProgress : public Progress {
public:
    explicit LabelProgress(QLabel* label);
    explicit LabelProgress(QLineEdit* box);
    void status(const QString& text) override;
    void letEventsRun() override;

private:
    void repaintSoon(QWidget* widget);
    QPointer<QLabel> m_label;
    QPointer<QLineEdit> m_box;
    QElapsedTimer m_sinceRepaint;
};

} // namespace orvik
