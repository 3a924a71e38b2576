#include "manage/RecordNavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace orvik {

RecordNavigator::RecordNavigator(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    // The text shows where the style has no icon.
    auto button = [&](const char* name, const char* text, QStyle::StandardPixmap icon,
                      RecordMove move) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromLatin1(text));
        b->setIcon(style()->standardIcon(icon));
        connect(b, &QToolButton::clicked, this, [this, move] { emit moveRequested(move); });
        row->addWidget(b);
    };
    button("MoveFirst", "|<", QStyle::SP_MediaSkipBackward, RecordMove::First);
    button("MovePrevious", "<", QStyle::SP_MediaSeekBackward, RecordMove::Previous);
    m_caption = new QLabel(this);
    m_caption->setTextFormat(Qt::PlainText); // a catalogue name is never markup
    m_caption->setAlignment(Qt::AlignCenter);
    row->addWidget(m_caption, 1);
    button("MoveNext", ">", QStyle::SP_MediaSeekForward, RecordMove::Next);
    button("MoveLast", ">|", QStyle::SP_MediaSkipForward, RecordMove::Last);
}

void RecordNavigator::setCaption(const QString& caption) {
    m_caption->setText(caption);
}

QString RecordNavigator::caption() const {
    return m_caption->text();
}

} // namespace orvik
