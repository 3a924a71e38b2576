// Writes orvik-cli's manual page from its template, with the option list
// made from the option table in place of the template's marker line:
//   orvik_cli_manual TEMPLATE PAGE
#include "cli/CliSyntax.h"

#include <QFile>
#include <QStringList>
#include <cstdio>

using namespace orvik::cli;

namespace {

const QByteArray Marker = ".\\\" OPTION LIST";

// Text as roff prints it: no escapes or requests of its own, '-' a minus.
QString roff(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    escaped.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (escaped.startsWith(QLatin1Char('.')) || escaped.startsWith(QLatin1Char('\'')))
        escaped.prepend(QLatin1String("\\&"));
    return escaped;
}

QString bold(const char* text) {
    return QStringLiteral("\\fB") + roff(QLatin1String(text)) + QStringLiteral("\\fR");
}

// "every command but create and use", "find, keywords and show".
QString takenBy(CommandSet commands) {
    QStringList taken, left;
    for (const CommandSyntax& command : commandSyntax())
        ((commands & bit(command.command)) ? taken : left) << bold(command.name);
    const auto list = [](QStringList names) {
        const QString last = names.takeLast();
        return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + " and " + last;
    };
    if (left.isEmpty()) return QStringLiteral("every command");
    if (left.size() < taken.size()) return QStringLiteral("every command but ") + list(left);
    return list(taken);
}

QString optionList() {
    QString page =
        QStringLiteral(".SH OPTIONS\n"
                       "Options follow the command, as \\-\\-name value or \\-\\-name=value;\n"
                       ".B \\-\\-\n"
                       "ends the options, so that an argument may begin with \"\\-\".\n");
    QStringList listed;
    const auto rows = optionSyntax();
    for (const OptionSyntax& option : rows) {
        const QString name = QLatin1String(option.name);
        if (listed.contains(name)) continue;
        listed << name;
        CommandSet commands = 0; // of every row of the option
        for (const OptionSyntax& row : rows)
            if (name == QLatin1String(row.name)) commands |= row.commands;
        page += QStringLiteral(".TP\n");
        if (option.value)
            page += QStringLiteral(".BI %1 \" %2\"\n")
                        .arg(roff(name), roff(QLatin1String(option.value)));
        else if (option.alias)
            page += QStringLiteral(".BR %1 \", \" %2\n")
                        .arg(roff(name), roff(QLatin1String(option.alias)));
        else
            page += QStringLiteral(".B %1\n").arg(roff(name));
        QString text = QString::fromUtf8(option.manual ? option.manual : option.help);
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        page += roff(text);
        if (commands & EveryCommand) page += QStringLiteral("; taken by ") + takenBy(commands);
        page += QLatin1Char('\n');
    }
    return page;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: orvik_cli_manual TEMPLATE PAGE\n", stderr);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "orvik_cli_manual: cannot read %s\n", argv[1]);
        return 2;
    }
    QList<QByteArray> lines = in.readAll().split('\n');
    const qsizetype marker = lines.indexOf(Marker);
    if (marker < 0) {
        std::fprintf(stderr, "orvik_cli_manual: %s has no line %s\n", argv[1], Marker.data());
        return 2;
    }
    lines[marker] = optionList().toUtf8().chopped(1);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (out.open(QIODevice::WriteOnly) && out.write(lines.join('\n')) >= 0 && out.flush()) return 0;
    std::fprintf(stderr, "orvik_cli_manual: cannot write %s\n", argv[2]);
    out.remove(); // no half page for the next build to take as made
    return 2;
}
