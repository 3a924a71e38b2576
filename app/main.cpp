// Orvik: catalogues removable media so you can tell which disc holds a file.
#include "app/InfoOptions.h"
#include "app/OrvikWindows.h"
#include "core/AppState.h"
#include "core/Startup.h"
#include "core/platform/LocalTimeZone.h"

#include <QApplication>

int main(int argc, char** argv) {
    orvik::settleLocalTimeZone();
    if (const auto status = orvik::answerInfoOption(argc, argv, stdout)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(orvik::AppName);
    QApplication::setApplicationVersion(QStringLiteral(ORVIK_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    orvik::AppState state(orvik::AppState::defaultAppFolder(), orvik::Settings::defaultFile(),
                          orvik::linuxServices());
    orvik::settleStartup(state);
    orvik::OrvikWindows windows(state);
    return QApplication::exec();
}
