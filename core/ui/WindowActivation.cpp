#include "ui/WindowActivation.h"

#include <QApplication>
#include <QMessageBox>

namespace orvik {

bool nextActivationCounts() {
    QWidget* now = QApplication::activeWindow();
    return now && !qobject_cast<QMessageBox*>(now);
}

} // namespace orvik
