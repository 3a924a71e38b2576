#include "core/ui/LabelProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

namespace orvik {

namespace {
constexpr qint64 RepaintIntervalMs = 33;
}

LabelProgress::LabelProgress(QLabel* label) : m_label(label) {}
LabelProgress::LabelProgress(QLineEdit* box) : m_box(box) {}

void LabelProgress::status(const QString& text) {
    if (m_label) {
        m_label->setText(text);
        repaintSoon(m_label);
    } else if (m_box) {
        m_box->setText(text);
        repaintSoon(m_box);
    }
}

void LabelProgress::repaintSoon(QWidget* widget) {
    if (!m_sinceRepaint.isValid() || m_sinceRepaint.elapsed() >= RepaintIntervalMs) {
        if (widget->isVisible()) widget->repaint();
        m_sinceRepaint.restart();
    }
}

void LabelProgress::letEventsRun() {
    QCoreApplication::processEvents();
}

} // namespace orvik
