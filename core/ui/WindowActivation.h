// When a main window's activation and deactivation steps run: they are the
// focus moving between the program's own windows.
#pragma once

class QWidget;

namespace orvik {

// A window of the program: one of its Form windows, or any other window that
// is no dialog. The dialogs its windows open (message boxes, the font, file
// and print dialogs) are not, nor are menus and tool tips.
bool isProgramWindow(const QWidget& window);

// The window that has, or is about to get, the focus: the modal window on
// top (known as soon as it shows, while the window manager's focus follows
// later), else the active window; none while another application has it.
QWidget* windowTakingFocus();

class WindowActivation {
public:
    // A window shown runs its activation steps when it becomes active.
    void shown() { m_returning = true; }
    // Called as the window becomes active: true when its activation steps run.
    bool activated() const { return m_returning; }
    // Called as the window loses the focus: true when its deactivation steps
    // run, which they do when the focus goes to another window of the program
    // or to another application. A dialog of the program neither leaves the
    // window nor returns to it, so the end of a message box or of the font
    // dialog runs nothing (a failing step would report again for ever; a font
    // just chosen would be read back from the settings). Coming back from
    // another window of the program is an activation; coming back from
    // another application is not.
    bool deactivated();

private:
    bool m_returning = true;
};

} // namespace orvik
