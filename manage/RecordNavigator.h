// A record navigator in the manner of a data control: first, previous, next
// and last buttons around a caption. It moves nothing itself; the window it
// sits in moves the recordset it is bound to.
#pragma once

#include "manage/RecordMoves.h"

#include <QFrame>

class QLabel;

namespace orvik {

class RecordNavigator : public QFrame {
    Q_OBJECT
public:
    explicit RecordNavigator(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const;

signals:
    void moveRequested(orvik::RecordMove move);

private:
    QLabel* m_caption = nullptr;
};

} // namespace orvik
