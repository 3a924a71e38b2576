#include "cli/CliSyntax.h"

#include <stdexcept>

namespace orvik::cli {

namespace {

[[noreturn]] void bad(const char* message) {
    throw std::invalid_argument(message);
}

constexpr CommandSet Queries =
    bit(Command::Find) | bit(Command::Keywords) | bit(Command::Describe) | bit(Command::Volumes);
// The answers from the files' checksums.
constexpr CommandSet Answers =
    bit(Command::Duplicates) | bit(Command::Unique) | bit(Command::Redundant);

void setFormat(CliArguments& args, const QString& value) {
    if (value == "text")
        args.format = Format::Text;
    else if (value == "tsv")
        args.format = Format::Tsv;
    else if (value == "json")
        args.format = Format::Json;
    else
        bad("--format takes text, tsv or json");
}

const CommandSyntax Commands[] = {
    {"add", Command::Add, "PATH", "add a disc or folder to the catalogue",
     "Adds every file below PATH to the catalogue as one volume.",
     "Options default to the settings of the main window. Ctrl+C cancels and\n"
     "leaves the catalogue as it was."},
    {"find", Command::Find, "TEXT", "find files and directories by name",
     "Lists every file or directory whose name matches TEXT (* ? # [a-z] [!a-z];\n"
     "a final '.' means the name ends there).",
     "The filters narrow the matches, all of them at once; with filters alone\n"
     "TEXT may be left out. A file without a recorded length or date never\n"
     "passes a size or date filter."},
    {"keywords", Command::Keywords, "TEXT", "find volumes by keyword",
     "Lists the volumes whose keywords match TEXT.", nullptr},
    {"describe", Command::Describe, "TEXT", "find volumes by label or description",
     "Lists the volumes whose label or description matches TEXT.", nullptr},
    {"volumes", Command::Volumes, nullptr, "list all volumes",
     "Lists every volume of the catalogue.", nullptr},
    {"show", Command::Show, "BOOKMARK", "show a found record and its directory",
     "Shows the record that BOOKMARK names (the bookmark column of the other\n"
     "commands' tsv and json), with the volume, description, keywords and\n"
     "directory that own it, and then the files of its directory.",
     nullptr},
    {"erase", Command::Erase, "BOOKMARK", "erase a volume from the catalogue",
     "Erases a volume from the catalogue, as the search window's \"Erase selected\n"
     "CD\" does: the record BOOKMARK names (the bookmark column of volumes\n"
     "--format tsv) and every record after it up to the next volume, in one\n"
     "step; then compacts the catalogue file. Asks nothing.",
     nullptr},
    {"identify", Command::Identify, "PATH", "tell which catalogued volumes PATH is",
     "Names every volume of the catalogue that PATH is: the same file system (by\n"
     "its UUID, or by its label and size when it has none) at the same place\n"
     "in it. Exit status 1 when PATH is no catalogued volume.",
     nullptr},
    {"volume", Command::Volume, "BOOKMARK", "show a volume's identity and what it holds",
     "Shows the volume that holds the record BOOKMARK names: its label,\n"
     "description, keywords and location, the file system it was read from,\n"
     "the add's options, and its counts of directories, files and bytes.",
     nullptr},
    {"ls", Command::Ls, "BOOKMARK", "list a volume's directory from the catalogue",
     "Lists a directory of the volume that holds the record BOOKMARK names, from\n"
     "the catalogue: its subdirectories (also those holding no file of their own)\n"
     "and its files with date and length. DIRECTORY is below the volume's top\n"
     "(a/b) or as stored (/MEDIA/CD/A/B/); the top when left out.",
     nullptr, "DIRECTORY"},
    {"edit", Command::Edit, "BOOKMARK", "edit a volume's description, keywords or location",
     "Edits the volume that holds the record BOOKMARK names, as the details\n"
     "window does: the description and keywords (in upper case) on the first\n"
     "record of its run; and where the medium is kept, as typed. Prints each\n"
     "change. Waits while another program writes the catalogue.",
     "At least one of these is needed."},
    {"update", Command::Update, "BOOKMARK", "update a volume from its medium",
     "Updates the volume that holds the record BOOKMARK names from its medium:\n"
     "PATH (by default the directory it was added from, when that is there and\n"
     "is the same file system) is read with the volume's own add options and\n"
     "compared with the catalogue. Prints a line for each file added (+ PATH),\n"
     "removed (- PATH), changed in length or date (~ PATH) and moved (> OLD ->\n"
     "NEW), paths below the volume's top as stored, and the counts on standard\n"
     "error. Then replaces the volume's records by those an add of PATH writes,\n"
     "keeping its description, keywords and location, in one step, at the end\n"
     "of the catalogue. Ctrl+C leaves the volume as it was.",
     nullptr, "PATH"},
    {"verify", Command::Verify, "BOOKMARK", "check a volume's medium against the catalogue",
     "Reads the medium of the volume that holds the record BOOKMARK names again\n"
     "(PATH, by default the directory it was added from, when that is there and is\n"
     "the same file system) and compares each file with the catalogue: its\n"
     "checksum, where the add kept checksums, its length and its date. Prints a\n"
     "line for each file changed (~ PATH), missing (- PATH), unreadable (! PATH),\n"
     "new (+ PATH) and moved (> OLD -> NEW), and the counts on standard error.\n"
     "Exit status 0 when every file matches, 1 when something differs. Writes\n"
     "nothing.",
     "A volume added without checksums is compared by lengths and dates, and the\n"
     "counts say that checksums were not kept.",
     "PATH"},
    {"catalogues", Command::Catalogues, nullptr, "list the catalogues",
     "Lists the catalogues; '*' marks the current one.", nullptr},
    {"create", Command::Create, "NAME", "create an empty catalogue",
     "Creates the empty catalogue NAME (NAME.mdb in the application folder).\n"
     "A catalogue of that name must not exist yet.",
     nullptr},
    {"delete", Command::Delete, "NAME", "delete a catalogue other than the current one",
     "Deletes the catalogue NAME with all its records, without asking. The\n"
     "current catalogue (setting DBName, and the one --catalogue names) is never\n"
     "deleted, in any letter case.",
     nullptr},
    {"use", Command::Use, "NAME", "make NAME current (created when missing)",
     "Makes NAME the current catalogue of the windows and of orvik-cli (setting\n"
     "DBName). A catalogue that does not exist yet is created empty, as the\n"
     "selection window's Set as Catalogue does.",
     nullptr},
    {"duplicates", Command::Duplicates, nullptr, "list files held more than once",
     "Lists the files held more than once, in groups of the same content (the\n"
     "same checksum), the group wasting the most space (length x copies - 1)\n"
     "first, each under a line of its own. Files without a checksum that share\n"
     "name and length form groups marked probable. Empty files are left out.",
     nullptr},
    {"unique", Command::Unique, "BOOKMARK", "list a volume's files held on no other volume",
     "Lists the files of the volume that holds the record BOOKMARK names whose\n"
     "content (by checksum) no other volume holds: the files at risk should\n"
     "that medium fail. Files without a checksum are left out and counted on\n"
     "standard error; empty files are left out.",
     nullptr},
    {"redundant", Command::Redundant, nullptr, "list volumes held whole elsewhere",
     "Lists the volumes every file of which (by checksum) another volume holds\n"
     "too, with the bytes each would free. Each could go on its own: of two\n"
     "volumes holding each other's files, both are listed. A volume without\n"
     "checksums is never listed.",
     nullptr},
    {"export", Command::Export, nullptr, "export the catalogue to CSV, JSON, HTML or EFU",
     "Writes every record of the catalogue (or of one volume) with the volume,\n"
     "description, keywords, location, identity and directory that own it, to\n"
     "standard output or to FILE (written beside it and renamed into place\n"
     "whole). Changes nothing in the catalogue.",
     nullptr},
    {"import", Command::Import, "FILE", "import a CSV, JSON or EFU file into the catalogue",
     "Adds what FILE holds to the catalogue: each volume of Orvik's own CSV or\n"
     "JSON as a run an add would write, with its identity, location and\n"
     "checksums; an EFU file list as one volume labelled with FILE's name. All\n"
     "of it or nothing: a malformed line is named (file, line, field) and\n"
     "nothing is imported. The catalogue is created when missing.",
     "The format is FILE's extension's unless --format names it."},
    {"help", Command::Help, nullptr, nullptr, nullptr, nullptr},
};

const OptionSyntax Options[] = {
    {.name = "--description",
     .value = "TEXT",
     .commands = bit(Command::Add),
     .required = true,
     .apply = [](CliArguments& args, const QString& value) { args.description = value; },
     .help = "what the disc is (required, not empty)",
     .manual = "add: what the disc is (required, not empty); edit: the new description (not "
               "empty); import: the description of an EFU list's volume (its file name when "
               "left out)"},
    {.name = "--keywords",
     .value = "TEXT",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString& value) { args.keywords = value; },
     .help = "the disc's main contents",
     .manual = "add: the disc's main contents; edit: the new keywords (empty: none); find: only "
               "files of volumes whose keywords contain TEXT; import: the keywords of an EFU "
               "list's volume"},
    {.name = "--filter",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.useFilter = true; },
     .help = "record only files whose extension is in the list"},
    {.name = "--no-filter",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.useFilter = false; },
     .help = "record every file"},
    {.name = "--no-dates",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.noDates = true; },
     .help = "do not record file dates"},
    {.name = "--no-sizes",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.noSizes = true; },
     .help = "do not record file sizes"},
    {.name = "--archives",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.lookInArchives = true; },
     .help = "also record the members of archives and disc images",
     .manual = "also record the members of every archive and disc image (zip, tar and its "
               "compressed forms, 7z, rar, cab, cpio, ISO 9660 and what else libarchive "
               "reads, known by their first bytes, whatever their names), as the files of "
               "directories below the archive's own path (GAMES/QUAKE.ZIP/MAPS/); an archive "
               "inside one is a member. An archive that cannot be read is recorded as a file, "
               "with the members read before the failure, and named on standard error"},
    {.name = "--no-archives",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.lookInArchives = false; },
     .help = "record archives as files only"},
    {.name = "--checksums",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.saveChecksums = true; },
     .help = "also keep each file's checksum (XXH3-128) for verify",
     .manual = "also read every file and keep the XXH3-128 checksum of its content (as "
               "xxh128sum prints it), so that verify can tell a file changed in place and an "
               "update a file changed with the same length and date. A file that cannot be "
               "read gets no checksum and is named on standard error. With --archives the members "
               "of archives get the checksums of their contents too"},
    {.name = "--no-checksums",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString&) { args.saveChecksums = false; },
     .help = "keep no checksums"},
    {.name = "--extensions",
     .value = "LIST",
     .commands = bit(Command::Add),
     .apply = [](CliArguments& args, const QString& value) { args.extensions = value; },
     .help = "the extension list, e.g. .exe.txt.doc"},
    {.name = "--description",
     .value = "TEXT",
     .commands = bit(Command::Edit),
     .apply = [](CliArguments& args, const QString& value) { args.description = value; },
     .help = "the new description (not empty)"},
    {.name = "--keywords",
     .value = "TEXT",
     .commands = bit(Command::Edit),
     .apply = [](CliArguments& args, const QString& value) { args.newKeywords = value; },
     .help = "the new keywords (empty: none)"},
    {.name = "--location",
     .value = "TEXT",
     .commands = bit(Command::Edit),
     .apply = [](CliArguments& args, const QString& value) { args.location = value; },
     .help = "where the medium is kept (\"Box 12, slot 3\"; empty: none)"},
    {.name = "--dry-run",
     .commands = bit(Command::Update),
     .apply = [](CliArguments& args, const QString&) { args.dryRun = true; },
     .help = "print the differences only; change nothing"},
    {.name = "--min-size",
     .value = "SIZE",
     .commands = bit(Command::Duplicates),
     .apply = [](CliArguments& args, const QString& value) { args.minSize = value; },
     .help = "leave out files smaller than SIZE (K, M, G, T: 1024 each)"},
    {.name = "--width",
     .value = "N",
     .commands = bit(Command::Find) | bit(Command::Duplicates) | bit(Command::Unique),
     .apply =
         [](CliArguments& args, const QString& value) {
             bool ok = false;
             args.width = value.toInt(&ok);
             if (!ok || *args.width < 1) bad("--width takes a whole number of characters");
         },
     .help = "width of the name column (default 53, 30 with --no-paths)"},
    {.name = "--no-paths",
     .commands = bit(Command::Find) | bit(Command::Duplicates) | bit(Command::Unique),
     .apply = [](CliArguments& args, const QString&) { args.noPaths = true; },
     .help = "show file names without their directories"},
    {.name = "--min-size",
     .value = "SIZE",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.minSize = value; },
     .help = "only files of at least SIZE bytes (K, M, G, T: 1024 each;\n"
             "700M, 1.5G)",
     .manual = "only files of at least SIZE bytes: a number, with K, M, G or T for powers of "
               "1024 (700M, 1.5G); see FILTERS"},
    {.name = "--max-size",
     .value = "SIZE",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.maxSize = value; },
     .help = "only files of at most SIZE bytes"},
    {.name = "--newer",
     .value = "DATE",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.newer = value; },
     .help = "only files modified at or after DATE (2009: from\n"
             "2009-01-01; 2009-06-30 18:00)",
     .manual = "only files modified at or after DATE: YYYY, YYYY-MM, YYYY-MM-DD, then "
               "HH:MM[:SS] after a blank or T, in local time; what is left out is its start, "
               "so 2009 means from 2009-01-01 00:00:00; see FILTERS"},
    {.name = "--older",
     .value = "DATE",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.older = value; },
     .help = "only files modified before DATE (2009: before 2009-01-01)",
     .manual = "only files modified before DATE, written as for --newer: 2009 means before "
               "2009-01-01 00:00:00, so --newer 2009 --older 2010 is the year 2009"},
    {.name = "--ext",
     .value = "LIST",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.extensions = value; },
     .help = "only files whose last extension is in LIST (mp3,flac)",
     .manual = "only files whose name's last extension is one of LIST, separated by commas "
               "(mp3,flac), in any letter case"},
    {.name = "--volume",
     .value = "TEXT",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.volume = value; },
     .help = "only files of volumes whose label or description contains\n"
             "TEXT",
     .manual = "find: only files of volumes whose label or description contains TEXT; export: "
               "only the volume holding the record that TEXT, a bookmark, names"},
    {.name = "--keywords",
     .value = "TEXT",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.keywords = value; },
     .help = "only files of volumes whose keywords contain TEXT"},
    {.name = "--regex",
     .value = "EXPR",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString& value) { args.filters.regex = value; },
     .help = "match names and directories with the regular expression\n"
             "EXPR (Perl's syntax, any case) instead of TEXT",
     .manual = "match names and directories with the regular expression EXPR (Perl-compatible, "
               "without regard to case, found anywhere in the name or directory: ^ and $ pin "
               "its ends) instead of TEXT; see FILTERS"},
    {.name = "--human",
     .commands = bit(Command::Find),
     .apply = [](CliArguments& args, const QString&) { args.human = true; },
     .help = "show lengths as 1.2 GB in the text lines",
     .manual = "show lengths as 512 B, 1.2 GB (powers of 1024) in the text lines; tsv and json "
               "keep the digits"},
    {.name = "--format",
     .value = "FORMAT",
     .commands = Queries | Answers,
     .apply = setFormat,
     .help = "text (the search window's lines, the default), tsv or json",
     .manual = "text (the search window's lines, the default), tsv or json; see OUTPUT FORMATS. "
               "export: csv (the default), json, html or efu; import: csv, json or efu (by "
               "default FILE's extension)"},
    // The same option, with show's own description.
    {.name = "--format",
     .value = "FORMAT",
     .commands = bit(Command::Show),
     .apply = setFormat,
     .help = "text (the default; '>' marks the record's own file),\n"
             "tsv or json",
     .detail = "    tsv:  the record's header line and line as the other commands print\n"
               "          them, a blank line, the header 'file date length current' and\n"
               "          one line per file of the directory (current 1 on the record's own)\n"
               "    json: one line {\"record\": {...}, \"directory\": [{\"file\": ..,\n"
               "          \"date\": .., \"length\": .., \"current\": true|false}, ...]}"},
    // The same option, for the volume commands.
    {.name = "--format",
     .value = "FORMAT",
     .commands = bit(Command::Identify) | bit(Command::Volume),
     .apply = setFormat,
     .help = "text (the default), tsv (a header line, then one line a\n"
             "volume) or json (one object a volume)"},
    // The same option, for ls.
    {.name = "--format",
     .value = "FORMAT",
     .commands = bit(Command::Ls),
     .apply = setFormat,
     .help = "text (the default), tsv (a header line, then one line an\n"
             "entry) or json (one object an entry)"},
    {.name = "--recursive",
     .commands = bit(Command::Ls),
     .apply = [](CliArguments& args, const QString&) { args.recursive = true; },
     .help = "list every directory below it too, each before its\n"
             "subdirectories"},
    {.name = "--print",
     .value = "FILE.pdf",
     .commands = Queries,
     .apply =
         [](CliArguments& args, const QString& value) {
             args.print = value;
             if (value.isEmpty()) bad("--print needs a file name");
         },
     .help = "also print the lines under their heading to FILE.pdf, in\n"
             "the search window's printer font and orientation",
     .manual = "also print the lines under their heading to FILE.pdf, on A4 in the search "
               "window's printer font and orientation; works without a display. The file is "
               "written whole or not at all: a failure (a full disk) is an error and leaves the "
               "file that was there. A catalogue, a catalogue's journal and the settings file "
               "are never replaced, by whatever path or link they are named"},
    {.name = "--all-catalogues",
     .commands = Queries,
     .apply = [](CliArguments& args, const QString&) { args.allCatalogues = true; },
     .help = "query every catalogue, in name order; text lines under\n"
             "'Catalogue NAME:', tsv and json with a catalogue field",
     .manual = "query every catalogue of the application folder, one after another in name "
               "order, instead of the current one. Text lines come in groups, each under a line "
               "'Catalogue NAME:', for each catalogue with results; tsv adds the column catalogue "
               "as the last, json the key catalogue. A catalogue that cannot be read (a file the "
               "user may not read, a file "
               "that is no catalogue) is named on standard error and skipped; see EXIT STATUS. "
               "Not with --catalogue. A bookmark is one of its catalogue: give that catalogue to "
               "show, ls, volume, edit and erase (show 1234 --catalogue NAME)"},
    // The same option, for the answers, whose groups may span catalogues.
    {.name = "--all-catalogues",
     .commands = Answers,
     .apply = [](CliArguments& args, const QString&) { args.allCatalogues = true; },
     .help = "answer over every catalogue; text lines end with [NAME],\n"
             "tsv and json with a catalogue field",
     .manual = "answer over every catalogue of the application folder: files held in two "
               "catalogues are duplicates, and a file held in another catalogue is held "
               "elsewhere. Text lines of files and volumes end with their catalogue as "
               "[NAME]; tsv adds the column catalogue as the last, json the key catalogue. "
               "unique takes a volume of the current catalogue. Not with --catalogue"},
    {.name = "--format",
     .value = "FORMAT",
     .commands = bit(Command::Export),
     .apply = [](CliArguments& args, const QString& value) { args.exchangeFormat = value; },
     .help = "csv (the default), json, html or efu"},
    {.name = "--volume",
     .value = "BOOKMARK",
     .commands = bit(Command::Export),
     .apply = [](CliArguments& args, const QString& value) { args.exportVolume = value; },
     .help = "only the volume holding the record BOOKMARK names"},
    {.name = "--output",
     .value = "FILE",
     .commands = bit(Command::Export),
     .apply =
         [](CliArguments& args, const QString& value) {
             args.output = value;
             if (value.isEmpty()) bad("--output needs a file name");
         },
     .help = "write to FILE instead of standard output"},
    {.name = "--format",
     .value = "FORMAT",
     .commands = bit(Command::Import),
     .apply = [](CliArguments& args, const QString& value) { args.exchangeFormat = value; },
     .help = "csv, json or efu (by default FILE's extension)"},
    {.name = "--description",
     .value = "TEXT",
     .commands = bit(Command::Import),
     .apply = [](CliArguments& args, const QString& value) { args.description = value; },
     .help = "the EFU list's description (by default its file name)"},
    {.name = "--keywords",
     .value = "TEXT",
     .commands = bit(Command::Import),
     .apply = [](CliArguments& args, const QString& value) { args.keywords = value; },
     .help = "the EFU list's keywords"},
    // Create and use name the catalogue they make or make current.
    {.name = "--catalogue",
     .value = "NAME",
     .commands = EveryCommand & ~bit(Command::Create) & ~bit(Command::Use),
     .apply = [](CliArguments& args, const QString& value) { args.catalogue = value; },
     .help = "use catalogue NAME instead of the current one (setting DBName)"},
    {.name = "--help",
     .alias = "-h",
     .commands = EveryCommand | InPlaceOfCommand,
     .apply = [](CliArguments& args, const QString&) { args.help = true; },
     .help = "show this text",
     .manual = "show the usage of the program, or of the command it follows"},
    {.name = "--version",
     .commands = InPlaceOfCommand,
     .apply = [](CliArguments& args, const QString&) { args.version = true; },
     .manual = "show the version of orvik-cli and exit"},
};

} // namespace

std::span<const CommandSyntax> commandSyntax() {
    return Commands;
}

std::span<const OptionSyntax> optionSyntax() {
    return Options;
}

const CommandSyntax* findCommand(const QString& name) {
    for (const CommandSyntax& command : Commands)
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

const OptionSyntax* findOption(const QString& name, CommandSet commands) {
    for (const OptionSyntax& option : Options)
        if ((option.commands & commands) && (name == QLatin1String(option.name) ||
                                             (option.alias && name == QLatin1String(option.alias))))
            return &option;
    return nullptr;
}

QString optionSynopsis(const OptionSyntax& option) {
    QString synopsis = QLatin1String(option.name);
    if (option.value) synopsis += QLatin1Char(' ') + QLatin1String(option.value);
    return synopsis;
}

} // namespace orvik::cli
