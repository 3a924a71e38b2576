// The command line of orvik-cli: a command, its one argument and its options.
#pragma once

#include "core/records/FileFilters.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace orvik::cli {

enum class Command {
    Add,
    Find,
    Keywords,
    Describe,
    Volumes,
    Show,
    Erase,
    Identify,
    Volume,
    Ls,
    Edit,
    Update,
    Verify,
    Catalogues,
    Create,
    Delete,
    Use,
    Duplicates,
    Unique,
    Redundant,
    Export,
    Import,
    Help
};
enum class Format { Text, Tsv, Json };

struct CliArguments {
    Command command = Command::Help;
    QString commandName;
    // PATH of add and identify, TEXT of queries, BOOKMARK of show, erase,
    // volume, ls, edit and update, NAME of create, delete, use, FILE of import
    QString argument;
    bool help = false;
    bool version = false; // --version in place of a command
    std::optional<QString> catalogue;
    // add
    std::optional<QString> description;
    QString keywords;
    std::optional<bool> useFilter;
    bool noDates = false;
    bool noSizes = false;
    std::optional<bool> lookInArchives;
    std::optional<bool> saveChecksums;
    std::optional<QString> extensions;
    // edit, each when given (its --description fills `description`)
    std::optional<QString> newKeywords;
    std::optional<QString> location;
    // queries
    std::optional<int> width;
    bool noPaths = false;
    Format format = Format::Text;
    std::optional<QString> print; // the PDF file of the print-out
    bool allCatalogues = false;
    // find's filters as typed, checked together before it runs; and lengths as 1.2 GB
    FilterTexts filters;
    bool human = false;
    // ls's DIRECTORY, update's PATH
    std::optional<QString> directory;
    bool recursive = false;
    // update
    bool dryRun = false;
    // duplicates: leave out files smaller than this, as typed
    std::optional<QString> minSize;
    // export and import: the format's name as typed, export's file and
    // volume (a record's bookmark)
    std::optional<QString> exchangeFormat;
    std::optional<QString> output;
    std::optional<QString> exportVolume;
};

// Options may come anywhere after the command, as `--name value` or
// `--name=value`; after `--` every argument is the command's own, so a
// pattern or path may begin with "-". Throws std::invalid_argument with a
// one-line message on bad input.
CliArguments parseArguments(const QStringList& arguments);

} // namespace orvik::cli
