// orvik-cli: adds discs and finds files from a terminal, on the same
// catalogues and settings as the Orvik windows.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliPrompt.h"
#include "cli/CliUsage.h"
#include "cli/PrintModuleLoader.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/Version.h"
#include "core/platform/LinuxDrives.h"
#include "core/platform/LinuxFileSystem.h"
#include "core/platform/LocalTimeZone.h"
#include "core/platform/Shell.h"

#include <QCoreApplication>
#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

using namespace orvik;

namespace {
// orvik-cli opens no file with its application.
class NoShell : public Shell {
public:
    int open(const QString&, const QString&) override { return shellresult::NoAssociation; }
};
} // namespace

// No command runs an event loop, so only a print-out, which needs fonts, gets
// an application object: QtGui's, from the print module. The locale is set as
// that object would set it, for every command.
int main(int argc, char** argv) {
    orvik::settleLocalTimeZone();
    std::setlocale(LC_ALL, "");
    QCoreApplication::setApplicationName(AppName);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    cli::CliArguments args;
    try {
        args = cli::parseArguments(arguments);
    } catch (const std::invalid_argument& bad) {
        std::fprintf(stderr, "orvik-cli: %s\n", bad.what());
        return cli::ExitError;
    }
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

    std::optional<cli::PrintModuleLoader> printer;
    std::unique_ptr<QCoreApplication> app;
    if (args.print) {
        try {
            printer.emplace();
        } catch (const Error& error) {
            std::fprintf(stderr, "orvik-cli: %s\n", error.message().toLocal8Bit().constData());
            return cli::ExitError;
        }
        app.reset(printer->makeApplication(argc, argv));
    }

    Services services;
    services.drives = std::make_unique<LinuxDrives>();
    services.fileSystem = std::make_unique<LinuxFileSystem>();
    services.shell = std::make_unique<NoShell>();
    auto prompt = std::make_unique<cli::CliPrompt>();
    cli::CliPrompt& messages = *prompt;
    services.prompt = std::move(prompt);
    AppState state(AppState::defaultAppFolder(), Settings::defaultFile(), std::move(services));
    cli::applySettings(state, args);
    return cli::runCommand(state, messages, args, printer ? &*printer : nullptr);
}
