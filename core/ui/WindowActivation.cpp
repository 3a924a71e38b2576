#include "core/ui/WindowActivation.h"

#include <QApplication>
#include <QDialog>

namespace orvik {

bool isProgramWindow(const QWidget& window) {
    const Qt::WindowType type = window.windowType();
    if (type != Qt::Window && type != Qt::Dialog) return false; // menus, tool tips
    return !qobject_cast<const QDialog*>(&window) ||
           window.objectName().startsWith(QStringLiteral("Form"));
}

QWidget* windowTakingFocus() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

bool WindowActivation::deactivated() {
    const QWidget* next = windowTakingFocus();
    if (next && !isProgramWindow(*next)) {
        m_returning = false;
        return false;
    }
    m_returning = next != nullptr;
    return true;
}

} // namespace orvik
