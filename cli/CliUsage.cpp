#include "cli/CliUsage.h"

#include "cli/CliSyntax.h"

#include <QList>

namespace orvik::cli {

namespace {

// Help texts line up in one column, at least this far in.
constexpr qsizetype HelpColumn = 21;

// "add PATH --description TEXT": the command with what it cannot do without.
QString commandSynopsis(const CommandSyntax& command) {
    QString synopsis = QLatin1String(command.name);
    if (command.argument) synopsis += QLatin1Char(' ') + QLatin1String(command.argument);
    if (command.optional) synopsis += QStringLiteral(" [%1]").arg(QLatin1String(command.optional));
    for (const OptionSyntax& option : optionSyntax())
        if (option.required && (option.commands & bit(command.command)))
            synopsis += QLatin1Char(' ') + optionSynopsis(option);
    return synopsis;
}

// One option a line, its help lined up beside it; the options of one block
// share their column.
QString optionLines(const QList<const OptionSyntax*>& block) {
    qsizetype column = HelpColumn;
    for (const OptionSyntax* option : block)
        column = std::max(column, 2 + optionSynopsis(*option).size() + 2);
    QString text;
    for (const OptionSyntax* option : block) {
        const QStringList help = QString::fromUtf8(option->help).split(QLatin1Char('\n'));
        text += (QStringLiteral("  ") + optionSynopsis(*option)).leftJustified(column) +
                help.first() + QLatin1Char('\n');
        for (const QString& line : help.mid(1))
            text += QString(column, QLatin1Char(' ')) + line + QLatin1Char('\n');
        if (option->detail) text += QString::fromUtf8(option->detail) + QLatin1Char('\n');
    }
    return text;
}

QString programUsage() {
    QString text = QStringLiteral("Usage: orvik-cli COMMAND [options]\n"
                                  "The Orvik catalogue from the command line.\n\n"
                                  "Commands:\n");
    for (const CommandSyntax& command : commandSyntax())
        if (command.summary)
            text += (QStringLiteral("  ") + commandSynopsis(command)).leftJustified(32) +
                    QLatin1String(command.summary) + QLatin1Char('\n');
    return text + QStringLiteral("\nEvery command takes --help; all but create and use take "
                                 "--catalogue NAME.\n"
                                 "orvik-cli --version shows the version.\n"
                                 "Exit status: 0 found or done, 1 nothing found, 2 error.\n");
}

} // namespace

QString usage(Command command) {
    const CommandSyntax* syntax = nullptr;
    for (const CommandSyntax& candidate : commandSyntax())
        if (candidate.command == command) syntax = &candidate;
    if (command == Command::Help || !syntax) return programUsage();

    // The options this command alone takes come first, then those it shares.
    QList<const OptionSyntax*> own, shared;
    bool takesOptions = false; // more than --help
    for (const OptionSyntax& option : optionSyntax()) {
        if (!(option.commands & bit(command))) continue;
        (option.commands == bit(command) ? own : shared) << &option;
        takesOptions = takesOptions || qstrcmp(option.name, "--help") != 0;
    }
    QString text = QStringLiteral("Usage: orvik-cli ") + commandSynopsis(*syntax) +
                   (takesOptions ? QStringLiteral(" [options]\n") : QStringLiteral("\n")) +
                   QString::fromUtf8(syntax->about) + QStringLiteral("\n\n") + optionLines(own);
    if (syntax->note) text += QString::fromUtf8(syntax->note) + QStringLiteral("\n\n");
    return text + optionLines(shared);
}

} // namespace orvik::cli
