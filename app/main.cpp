// Orvik: catalogues removable media so you can tell which disc holds a file.
#include "AppState.h"
#include "OrvikWindows.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(orvik::AppName);
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));
    QApplication::setQuitOnLastWindowClosed(false);

    orvik::AppState state(orvik::AppState::defaultAppFolder(), orvik::Settings::defaultFile(),
                          orvik::linuxServices());
    orvik::settleStartup(state);
    orvik::OrvikWindows windows(state);
    return QApplication::exec();
}
