#include "CliArguments.h"

#include <QMap>
#include <stdexcept>

namespace orvik::cli {

namespace {

const QMap<QString, Command> Commands = {
    {"add", Command::Add},           {"find", Command::Find},
    {"keywords", Command::Keywords}, {"describe", Command::Describe},
    {"volumes", Command::Volumes},   {"show", Command::Show},
    {"erase", Command::Erase},       {"catalogues", Command::Catalogues},
    {"create", Command::Create},     {"delete", Command::Delete},
    {"use", Command::Use},           {"help", Command::Help}};

[[noreturn]] void bad(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

bool isCatalogueCommand(Command c) {
    return c == Command::Create || c == Command::Delete || c == Command::Use;
}

bool takesArgument(Command c) {
    return c == Command::Add || c == Command::Find || c == Command::Keywords ||
           c == Command::Describe || c == Command::Show || c == Command::Erase ||
           isCatalogueCommand(c);
}

QString argumentName(Command c) {
    return c == Command::Add                           ? QStringLiteral("PATH")
           : c == Command::Show || c == Command::Erase ? QStringLiteral("BOOKMARK")
           : isCatalogueCommand(c)                     ? QStringLiteral("NAME")
                                                       : QStringLiteral("TEXT");
}

bool takesFormat(Command c) {
    return c == Command::Find || c == Command::Keywords || c == Command::Describe ||
           c == Command::Volumes || c == Command::Show;
}

} // namespace

CliArguments parseArguments(const QStringList& arguments) {
    CliArguments args;
    if (arguments.isEmpty()) return args;
    int i = 0;
    const QString first = arguments[0];
    if (first == "--help" || first == "-h") return args;
    if (first == "--version") {
        args.version = true;
        return args;
    }
    if (!Commands.contains(first))
        bad(QStringLiteral("unknown command '%1' (try --help)").arg(first));
    args.command = Commands.value(first);
    args.commandName = first;
    bool haveArgument = false;
    auto value = [&](const QString& option) -> QString {
        if (++i >= arguments.size()) bad(QStringLiteral("%1 needs a value").arg(option));
        return arguments[i];
    };
    for (i = 1; i < arguments.size(); ++i) {
        const QString a = arguments[i];
        const Command c = args.command;
        if (a == "--help" || a == "-h") {
            args.help = true;
        } else if (a == "--catalogue") {
            args.catalogue = value(a);
        } else if (c == Command::Add && a == "--description") {
            args.description = value(a);
        } else if (c == Command::Add && a == "--keywords") {
            args.keywords = value(a);
        } else if (c == Command::Add && (a == "--filter" || a == "--no-filter")) {
            args.useFilter = a == "--filter";
        } else if (c == Command::Add && a == "--no-dates") {
            args.noDates = true;
        } else if (c == Command::Add && a == "--no-sizes") {
            args.noSizes = true;
        } else if (c == Command::Add && a == "--extensions") {
            args.extensions = value(a);
        } else if (c == Command::Find && a == "--width") {
            bool ok = false;
            args.width = value(a).toInt(&ok);
            if (!ok || *args.width < 1)
                bad(QStringLiteral("--width takes a whole number of characters"));
        } else if (c == Command::Find && a == "--no-paths") {
            args.noPaths = true;
        } else if (takesFormat(c) && a == "--format") {
            const QString f = value(a);
            if (f == "text")
                args.format = Format::Text;
            else if (f == "tsv")
                args.format = Format::Tsv;
            else if (f == "json")
                args.format = Format::Json;
            else
                bad(QStringLiteral("--format takes text, tsv or json"));
        } else if (takesFormat(c) && c != Command::Show && a == "--print") {
            args.print = value(a);
            if (args.print->isEmpty()) bad(QStringLiteral("--print needs a file name"));
        } else if (a.startsWith("--") && a.size() > 2) {
            bad(QStringLiteral("unknown option '%1' for %2 (try %2 --help)").arg(a, first));
        } else if (takesArgument(c) && !haveArgument) {
            args.argument = a;
            haveArgument = true;
        } else {
            bad(QStringLiteral("unexpected argument '%1' (try %2 --help)").arg(a, first));
        }
    }
    if (args.help || args.command == Command::Help) return args;
    if (takesArgument(args.command) && !haveArgument)
        bad(QStringLiteral("%1 needs a %2 (try %1 --help)").arg(first, argumentName(args.command)));
    if (args.command == Command::Add && !args.description)
        bad(QStringLiteral("add needs --description TEXT"));
    return args;
}

QString usage(Command command) {
    const QString common = QStringLiteral(
        "  --catalogue NAME   use catalogue NAME instead of the current one (setting DBName)\n"
        "  --help             show this text\n");
    const QString formats = QStringLiteral(
        "  --format FORMAT    text (the search window's lines, the default), tsv or json\n"
        "  --print FILE.pdf   also print the lines under their heading to FILE.pdf, in\n"
        "                     the search window's printer font and orientation\n");
    switch (command) {
    case Command::Add:
        return QStringLiteral(
                   "Usage: orvik-cli add PATH --description TEXT [options]\n"
                   "Adds every file below PATH to the catalogue as one volume.\n\n"
                   "  --description TEXT  what the disc is (required, not empty)\n"
                   "  --keywords TEXT     the disc's main contents\n"
                   "  --filter            record only files whose extension is in the list\n"
                   "  --no-filter         record every file\n"
                   "  --no-dates          do not record file dates\n"
                   "  --no-sizes          do not record file sizes\n"
                   "  --extensions LIST   the extension list, e.g. .exe.txt.doc\n"
                   "Options default to the settings of the main window. Ctrl+C cancels and\n"
                   "leaves the catalogue as it was.\n\n") +
               common;
    case Command::Find:
        return QStringLiteral(
                   "Usage: orvik-cli find TEXT [options]\n"
                   "Lists every file or directory whose name matches TEXT (* ? # [a-z] [!a-z];\n"
                   "a final '.' means the name ends there).\n\n"
                   "  --width N          width of the name column (default 53, 30 with "
                   "--no-paths)\n"
                   "  --no-paths         show file names without their directories\n") +
               formats + common;
    case Command::Keywords:
        return QStringLiteral("Usage: orvik-cli keywords TEXT [options]\n"
                              "Lists the volumes whose keywords match TEXT.\n\n") +
               formats + common;
    case Command::Describe:
        return QStringLiteral("Usage: orvik-cli describe TEXT [options]\n"
                              "Lists the volumes whose label or description matches TEXT.\n\n") +
               formats + common;
    case Command::Volumes:
        return QStringLiteral("Usage: orvik-cli volumes [options]\n"
                              "Lists every volume of the catalogue.\n\n") +
               formats + common;
    case Command::Show:
        return QStringLiteral(
                   "Usage: orvik-cli show BOOKMARK [options]\n"
                   "Shows the record that BOOKMARK names (the bookmark column of the other\n"
                   "commands' tsv and json), with the volume, description, keywords and\n"
                   "directory that own it, and then the files of its directory.\n\n"
                   "  --format FORMAT    text (the default; '>' marks the record's own file),\n"
                   "                     tsv or json\n"
                   "    tsv:  the record's header line and line as the other commands print\n"
                   "          them, a blank line, the header 'file date length current' and\n"
                   "          one line per file of the directory (current 1 on the record's own)\n"
                   "    json: one line {\"record\": {...}, \"directory\": [{\"file\": ..,\n"
                   "          \"date\": .., \"length\": .., \"current\": true|false}, ...]}\n") +
               common;
    case Command::Erase:
        return QStringLiteral(
                   "Usage: orvik-cli erase BOOKMARK [options]\n"
                   "Erases a volume from the catalogue, as the search window's \"Erase selected\n"
                   "CD\" does: the record BOOKMARK names (the bookmark column of volumes\n"
                   "--format tsv) and every record after it up to the next volume, in one\n"
                   "step; then compacts the catalogue file. Asks nothing.\n\n") +
               common;
    case Command::Catalogues:
        return QStringLiteral("Usage: orvik-cli catalogues [options]\n"
                              "Lists the catalogues; '*' marks the current one.\n\n") +
               common;
    case Command::Create:
        return QStringLiteral("Usage: orvik-cli create NAME\n"
                              "Creates the empty catalogue NAME (NAME.mdb in the application "
                              "folder).\nA catalogue of that name must not exist yet.\n\n"
                              "  --help             show this text\n");
    case Command::Delete:
        return QStringLiteral(
                   "Usage: orvik-cli delete NAME [options]\n"
                   "Deletes the catalogue NAME with all its records, without asking. The\n"
                   "current catalogue (setting DBName, and the one --catalogue names) is never\n"
                   "deleted, in any letter case.\n\n") +
               common;
    case Command::Use:
        return QStringLiteral(
            "Usage: orvik-cli use NAME\n"
            "Makes NAME the current catalogue of the windows and of orvik-cli (setting\n"
            "DBName). A catalogue that does not exist yet is created empty, as the\n"
            "selection window's Set as Catalogue does.\n\n"
            "  --help             show this text\n");
    case Command::Help:
        break;
    }
    return QStringLiteral("Usage: orvik-cli COMMAND [options]\n"
                          "The Orvik catalogue from the command line.\n\n"
                          "Commands:\n"
                          "  add PATH --description TEXT   add a disc or folder to the catalogue\n"
                          "  find TEXT                     find files and directories by name\n"
                          "  keywords TEXT                 find volumes by keyword\n"
                          "  describe TEXT                 find volumes by label or description\n"
                          "  volumes                       list all volumes\n"
                          "  show BOOKMARK                 show a found record and its directory\n"
                          "  erase BOOKMARK                erase a volume from the catalogue\n"
                          "  catalogues                    list the catalogues\n"
                          "  create NAME                   create an empty catalogue\n"
                          "  delete NAME                   delete a catalogue other than the "
                          "current one\n"
                          "  use NAME                      make NAME current (created when "
                          "missing)\n\n"
                          "Every command takes --catalogue NAME and --help.\n"
                          "orvik-cli --version shows the version.\n"
                          "Exit status: 0 found or done, 1 nothing found, 2 error.\n");
}

} // namespace orvik::cli
