// Message boxes with QMessageBox: the icon, buttons and texts given, title
// "ORVIK" unless the caller names one, centred on the window that asked.
#pragma once

#include "core/Prompt.h"

#include <QMetaObject>
#include <QPointer>

class QWidget;

namespace orvik {

class QtPrompt : public Prompt {
public:
    QtPrompt();
    ~QtPrompt() override;
    Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& title) override;

private:
    // The window a box belongs to. The active window is not enough: between a
    // box closing and the window manager giving the focus back there is none,
    // and a box without a window shows in the middle of the screen.
    QWidget* askingWindow() const;

    QPointer<QWidget> m_lastWindow; // the program's window that had the focus last
    QMetaObject::Connection m_focusWatch;
};

} // namespace orvik
