// orvik-cli: adds discs and finds files from a terminal, on the same
// catalogues and settings as the Orvik windows.
#include "AppState.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliPrompt.h"
#include "CliUsage.h"
#include "Version.h"
#include "platform/DesktopShell.h"
#include "platform/LinuxDrives.h"
#include "platform/LinuxFileSystem.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <stdexcept>

using namespace orvik;

namespace {
// A print-out needs fonts, and with them a GUI application; it draws on no
// screen, so it takes none, whatever display the terminal has or lacks.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool prints) {
    if (!prints) return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}
} // namespace

int main(int argc, char** argv) {
    // Parsed before the application is made, which depends on the options.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    cli::CliArguments args;
    try {
        args = cli::parseArguments(arguments);
    } catch (const std::invalid_argument& bad) {
        std::fprintf(stderr, "orvik-cli: %s\n", bad.what());
        return cli::ExitError;
    }
    const auto app = makeApplication(argc, argv, args.print.has_value());
    QCoreApplication::setApplicationName(AppName);
    if (args.version) {
        std::fputs("orvik-cli " ORVIK_VERSION "\n", stdout);
        return cli::ExitDone;
    }
    if (args.help || args.command == cli::Command::Help) {
        std::fputs(
            cli::usage(args.help ? args.command : cli::Command::Help).toLocal8Bit().constData(),
            stdout);
        return cli::ExitDone;
    }

    Services services;
    services.drives = std::make_unique<LinuxDrives>();
    services.fileSystem = std::make_unique<LinuxFileSystem>();
    services.shell = std::make_unique<DesktopShell>();
    auto prompt = std::make_unique<cli::CliPrompt>();
    cli::CliPrompt& messages = *prompt;
    services.prompt = std::move(prompt);
    AppState state(AppState::defaultAppFolder(), Settings::defaultFile(), std::move(services));
    cli::applySettings(state, args);
    return cli::runCommand(state, messages, args);
}
