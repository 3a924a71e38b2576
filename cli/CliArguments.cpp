#include "cli/CliArguments.h"

#include "cli/CliSyntax.h"

#include <QSet>
#include <stdexcept>

namespace orvik::cli {

namespace {

[[noreturn]] void bad(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

} // namespace

CliArguments parseArguments(const QStringList& arguments) {
    CliArguments args;
    if (arguments.isEmpty()) return args;
    const QString& first = arguments[0];
    // --help or --version in place of a command: the rest does not matter.
    if (const OptionSyntax* option = findOption(first, InPlaceOfCommand)) {
        option->apply(args, QString());
        return args;
    }
    const CommandSyntax* command = findCommand(first);
    if (!command) bad(QStringLiteral("unknown command '%1' (try --help)").arg(first));
    args.command = command->command;
    args.commandName = first;

    bool haveArgument = false, optionsEnded = false;
    QSet<const OptionSyntax*> given;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded &&
                   (a.startsWith(QLatin1String("--")) || findOption(a, ~CommandSet(0)))) {
            const qsizetype equals = a.indexOf(QLatin1Char('='));
            const QString name = a.left(equals);
            const OptionSyntax* option = findOption(name, bit(args.command));
            if (!option || (equals >= 0 && !option->value))
                bad(QStringLiteral("unknown option '%1' for %2 (try %2 --help)").arg(a, first));
            QString value;
            if (equals >= 0)
                value = a.mid(equals + 1);
            else if (option->value && ++i >= arguments.size())
                bad(QStringLiteral("%1 needs a value").arg(name));
            else if (option->value)
                value = arguments[i];
            option->apply(args, value);
            given.insert(option);
        } else if (command->argument && !haveArgument) {
            args.argument = a;
            haveArgument = true;
        } else if (command->optional && !args.directory) {
            args.directory = a;
        } else {
            bad(QStringLiteral("unexpected argument '%1' (try %2 --help)").arg(a, first));
        }
    }
    if (args.help || args.command == Command::Help) return args;
    // A find by filters alone passes every name; an expression stands in for TEXT.
    const bool filtersAlone = args.command == Command::Find && args.filters.any();
    if (command->argument && !haveArgument && !filtersAlone)
        bad(QStringLiteral("%1 needs a %2 (try %1 --help)").arg(first, command->argument));
    if (haveArgument && args.filters.regex)
        bad(QStringLiteral("find takes TEXT or --regex EXPR, not both"));
    for (const OptionSyntax& option : optionSyntax())
        if (option.required && (option.commands & bit(args.command)) && !given.contains(&option))
            bad(QStringLiteral("%1 needs %2").arg(first, optionSynopsis(option)));
    return args;
}

} // namespace orvik::cli
