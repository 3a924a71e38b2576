#include "cli/CliCommands.h"

#include "catalogue/VolumeAdd.h"
#include "catalogue/VolumeUpdate.h"
#include "catalogue/VolumeVerify.h"
#include "cli/AnswerOutput.h"
#include "cli/CatalogueCommands.h"
#include "cli/CliOutput.h"
#include "cli/CliPrompt.h"
#include "cli/ListingOutput.h"
#include "cli/PrintModuleLoader.h"
#include "cli/ShowOutput.h"
#include "cli/TerminalProgress.h"
#include "cli/VolumeOutput.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/KeptFiles.h"
#include "core/WriterWait.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"
#include "core/platform/WholeFile.h"
#include "core/records/RecordResolution.h"
#include "core/records/VolumeListing.h"
#include "details/DirectoryFiles.h"
#include "details/VolumeEdit.h"
#include "exchange/CatalogueExchange.h"
#include "search/EveryCatalogue.h"
#include "search/ResultLine.h"
#include "search/VolumeErase.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace orvik::cli {

namespace {

void printError(const QString& text) {
    std::fprintf(stderr, "orvik-cli: %s\n", text.toLocal8Bit().constData());
}

// The boxes the operation would have shown, as one line.
int reportMessages(const CliPrompt& prompt) {
    printError(prompt.messages().join(QStringLiteral(" ")));
    return ExitError;
}

// Opens the catalogue once before any work so a file that is no catalogue is
// reported at once and nothing is written.
bool catalogueUsable(AppState& state, bool mustExist) {
    const QString file = state.catalogueFile();
    if (!catalogueExists(file)) {
        if (mustExist)
            printError(QStringLiteral("no catalogue ") + state.CatalogueName +
                       QStringLiteral(" in ") + state.appFolder());
        return !mustExist;
    }
    try {
        // Kept open: the command's own work goes on on this connection.
        state.CatalogueDatabase = state.workspace().OpenDatabase(file);
        engine::Recordset probe(state.CatalogueDatabase, engine::RecordsetType::Dynaset);
        return true;
    } catch (const Error& error) {
        printError(error.message() + QStringLiteral(" Can't open catalogue database."));
        return false;
    }
}

int runAdd(AppState& state, CliPrompt& prompt, const CliArguments& args) {
    const QString top = QDir::cleanPath(QFileInfo(args.argument).absoluteFilePath());
    if (!QFileInfo(top).isDir()) {
        printError(QStringLiteral("Path not found: ") + args.argument);
        return ExitError;
    }
    try {
        state.fileSystem().list(top);
    } catch (const Error& error) {
        printError(error.message());
        return ExitError;
    }
    if (!catalogueUsable(state, false)) return ExitError;

    bool busy = false, cancelFlag = false;
    VolumeAdd* running = nullptr;
    TerminalProgress progress(cancelFlag, [&] {
        const QString reading = running ? running->hashingProgress() : QString();
        return QStringLiteral("%1 directories counted, %2 files written")
                   .arg(running ? running->DirCount : 0)
                   .arg(running ? running->FileCount : 0) +
               (reading.isEmpty() ? QString() : QStringLiteral(", ") + reading);
    });
    TerminalProgress::catchInterrupt();
    VolumeAdd add(state, progress, prompt, busy, cancelFlag);
    running = &add;
    if (!add.checkDescription(*args.description)) return reportMessages(prompt);
    add.CurDescription = *args.description;
    const VolumeAdd::Result result = add.run(top, args.keywords);
    running = nullptr;
    progress.clearLine();
    switch (result) {
    case VolumeAdd::Result::Finished:
        std::printf("%s\n",
                    QString(progress.lastStatus()).replace("\r\n", "\n").toLocal8Bit().constData());
        for (const QString& skipped : add.SkippedDirs)
            printError(QStringLiteral("skipped (no permission to read it): ") + skipped);
        for (const QString& skipped : add.TooLongDirs)
            printError(QStringLiteral("skipped (path too long for the catalogue): ") + skipped);
        for (const TreeCollector::UnreadableArchive& archive : add.UnreadableArchives)
            printError(QStringLiteral("could not read the archive %1: %2")
                           .arg(archive.path, archive.reason));
        for (const VolumeAdd::UnreadableFile& file : add.UnreadableFiles)
            printError(
                QStringLiteral("could not read the file %1: %2").arg(file.path, file.reason));
        return prompt.messages().isEmpty() ? ExitDone : reportMessages(prompt);
    case VolumeAdd::Result::Cancelled:
        printError(progress.lastStatus());
        return ExitError;
    case VolumeAdd::Result::Failed:
    case VolumeAdd::Result::ProgramEnds:
        break;
    }
    return reportMessages(prompt);
}

// Keeps the lines for the print-out on their way to the terminal.
class KeepingSink : public ResultSink {
public:
    explicit KeepingSink(ResultSink& next) : m_next(next) {}
    // Each query begins with it; the lines of catalogues queried before stay.
    void clear() override { m_next.clear(); }
    void append(const QString& line, const ResolvedRecord& record) override {
        if (!heading.isEmpty()) lines.append(std::exchange(heading, QString()));
        lines.append(line);
        m_next.append(line, record);
    }
    QStringList lines;
    // Kept before the next line, when one comes.
    QString heading;

private:
    ResultSink& m_next;
};

// The search window's print-out of `lines` as a PDF file, on A4 in the
// printer font and orientation of the settings, at the window's PDF
// printer's resolution. Written whole or not at all, never over a file the
// program keeps.
bool printToPdf(AppState& state, const PrintModuleLoader& printer, const QString& file,
                const QString& heading, const QStringList& lines) {
    const Settings& settings = state.settings();
    PdfPrintout printout;
    printout.fontName = settings.get(QStringLiteral("PrnFontName"), QStringLiteral("XXXX"));
    printout.fontSize = settings.getNumber(QStringLiteral("PrnFontSize"), 6);
    printout.bold = settings.getBool(QStringLiteral("PrnFontBold"), false);
    printout.italic = settings.getBool(QStringLiteral("PrnFontItalic"), false);
    printout.landscape = settings.getNumber(QStringLiteral("PrnOrient"), 1) == 2;
    printout.heading = heading;
    printout.lines = lines;
    try {
        refuseKeptFile(state.appFolder(), settings.file(), file);
        const PdfResult printed = printer.print(printout);
        if (printed.errorNumber != 0) throw Error(printed.errorNumber, printed.errorDescription);
        writeWholeFile(file, printed.pdf);
        std::fprintf(stderr, "Printed %lld lines on %d pages to %s\n", qlonglong(lines.size()),
                     printed.pages, QFile::encodeName(file).constData());
        return true;
    } catch (const Error& error) {
        printError(error.message() + QStringLiteral(" Problems found with printing!"));
        return false;
    }
}

// find's filters, all checked before anything runs; none when one is bad (told).
std::optional<FileFilters> checkedFilters(const CliArguments& args) {
    try {
        return FileFilters(args.filters);
    } catch (const std::invalid_argument& bad) {
        printError(QString::fromStdString(bad.what()));
        return std::nullopt;
    }
}

// The command's query on the current catalogue.
void runQueryOn(AppState& state, SearchQueries& queries, const CliArguments& args,
                const FileFilters& filters) {
    switch (args.command) {
    case Command::Find: {
        queries.SearchText = args.argument;
        queries.Filters = filters;
        queries.HumanLengths = args.human;
        const int width = args.width.value_or(state.Options.DisplayPaths ? 53 : 30);
        queries.Query_MyFindFile(QueryWidth::characters(width));
        break;
    }
    case Command::Keywords:
        queries.searchKeywords(args.argument);
        break;
    case Command::Describe:
        queries.searchDescriptions(args.argument);
        break;
    default:
        queries.listVolumes(args.argument);
        break;
    }
}

int runQuery(AppState& state, CliPrompt& prompt, const CliArguments& args,
             const PrintModuleLoader* printer) {
    const std::optional<FileFilters> filters = checkedFilters(args);
    if (!filters || !catalogueUsable(state, true)) return ExitError;
    PrintingSink terminal(args.format, stdout);
    KeepingSink sink(terminal);
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {}, [&terminal] { terminal.flush(); });
    SearchQueries queries(state, sink, progress);
    runQueryOn(state, queries, args, *filters);
    terminal.flush();
    if (!prompt.messages().isEmpty()) return reportMessages(prompt);
    std::fprintf(stderr, "%s\n", progress.lastStatus().toLocal8Bit().constData());
    if (args.print &&
        !printToPdf(state, *printer, *args.print,
                    resultsHeading(queries.SearchPattern, state.CatalogueName), sink.lines))
        return ExitError;
    return terminal.count() > 0 ? ExitDone : ExitNothingFound;
}

// The query on every catalogue, one after another in name order. One that
// cannot be read is named and skipped; a query that fails on one that could
// be read (a malformed pattern, a failing disk) ends the command as it would
// on the current catalogue.
int runQueryOnEveryCatalogue(AppState& state, CliPrompt& prompt, const CliArguments& args,
                             const PrintModuleLoader* printer) {
    if (args.catalogue) {
        printError(QStringLiteral("--all-catalogues and --catalogue exclude each other"));
        return ExitError;
    }
    const std::optional<FileFilters> filters = checkedFilters(args);
    if (!filters) return ExitError;
    PrintingSink terminal(args.format, stdout, true);
    KeepingSink sink(terminal);
    bool cancelFlag = false, failed = false;
    TerminalProgress progress(cancelFlag, {}, [&terminal] { terminal.flush(); });
    int read = 0, skipped = 0;
    QString pattern;
    const bool any = queryEveryCatalogue(
        state,
        [&](const QString& name) {
            terminal.startCatalogue(name);
            sink.heading = catalogueHeading(name);
            SearchQueries queries(state, sink, progress);
            runQueryOn(state, queries, args, *filters);
            terminal.flush();
            if (!prompt.messages().isEmpty()) {
                printError(QStringLiteral("catalogue ") + name + QStringLiteral(": ") +
                           prompt.messages().join(QLatin1Char(' ')));
                failed = true;
                return false;
            }
            ++read;
            pattern = queries.SearchPattern;
            std::fprintf(stderr, "Catalogue %s: %s\n", name.toLocal8Bit().constData(),
                         progress.lastStatus().toLocal8Bit().constData());
            return true;
        },
        [&](const QString& name, const QString& reason) {
            printError(QStringLiteral("skipped catalogue ") + name + QStringLiteral(": ") + reason);
            ++skipped;
        });
    if (failed) return ExitError;
    if (!any) std::fprintf(stderr, "No catalogues in %s\n", qPrintable(state.appFolder()));
    if (read == 0 && skipped > 0) {
        printError(QStringLiteral("no catalogue could be read"));
        return ExitError;
    }
    if (args.print && !printToPdf(state, *printer, *args.print,
                                  everyCatalogueResultsHeading(pattern), sink.lines))
        return ExitError;
    return terminal.count() > 0 ? ExitDone : ExitNothingFound;
}

// A rowid written as Recordset::Bookmark() writes it; says so when it is not.
bool bookmarkGiven(const QString& text) {
    bool ok = false;
    const qint64 rowid = text.toLongLong(&ok);
    if (ok && QString::number(rowid) == text) return true;
    printError(QStringLiteral("not a bookmark: ") + text);
    return false;
}

// A bookmark of no record, or of a record no volume holds.
int noVolume(const AppState& state, const QString& bookmark, bool recordExists) {
    printError(recordExists ? QStringLiteral("no volume holds the record with bookmark ") + bookmark
                            : QStringLiteral("no record with bookmark ") + bookmark +
                                  QStringLiteral(" in catalogue ") + state.CatalogueName);
    return ExitError;
}

// Resolves the record a bookmark names as the details window does when it
// goes to a result line, and prints it with the files of its directory.
int runShow(AppState& state, CliPrompt& prompt, const CliArguments& args) {
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    ResolvedRecord record;
    DirectoryListing listing;
    try {
        const auto database = state.workspace().OpenDatabase(state.catalogueFile());
        engine::Recordset rs(database, engine::RecordsetType::Dynaset);
        // One read for the record, its owners and its directory, so another
        // program's write cannot come between them.
        engine::ReadHold hold(*database);
        try {
            rs.setBookmark(bookmark);
        } catch (const Error& error) {
            if (error.number() != errors::InvalidBookmark) throw;
            printError(QStringLiteral("no record with bookmark ") + bookmark +
                       QStringLiteral(" in catalogue ") + state.CatalogueName);
            return ExitError;
        }
        state.CurrentPosition = bookmark;
        record = Lookup_All_Fields(rs, prompt);
        if (!prompt.messages().isEmpty()) return reportMessages(prompt);
        try {
            listing = listDirectory(state, rs);
        } catch (const Error& error) {
            printError(error.message() + QStringLiteral(" Error in FillListFiles!"));
            return ExitError;
        }
    } catch (const Error& error) {
        printError(error.message() + QStringLiteral(" Can't open catalogue database."));
        return ExitError;
    }
    std::fputs(showOutput(record, listing, args.format).toUtf8().constData(), stdout);
    return ExitDone;
}

// Erases from the record a bookmark names, as the search window's erase does.
int runErase(AppState& state, CliPrompt& prompt, const CliArguments& args) {
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    std::shared_ptr<engine::Catalogue> database;
    try {
        database = state.workspace().OpenDatabase(state.catalogueFile());
        state.CatalogueRecordset =
            std::make_shared<engine::Recordset>(database, engine::RecordsetType::Dynaset);
        state.CatalogueRecordset->setBookmark(bookmark);
    } catch (const Error& error) {
        printError(error.number() == errors::InvalidBookmark
                       ? QStringLiteral("no record with bookmark ") + bookmark +
                             QStringLiteral(" in catalogue ") + state.CatalogueName
                       : error.message() + QStringLiteral(" Can't open catalogue database."));
        return ExitError;
    }
    state.CurrentPosition = bookmark;
    // Waits as long as another program writes the catalogue; Ctrl+C ends
    // the wait as it ends the program, before anything is erased.
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {});
    const int erased =
        eraseVolume(state, progress, database, waitingForWriter(progress, cancelFlag));
    if (!prompt.messages().isEmpty()) return reportMessages(prompt);
    if (erased < 0) return ExitError; // the wait was given up: nothing erased
    std::fprintf(stderr, "%d records erased from catalogue %s\n", erased,
                 state.CatalogueName.toLocal8Bit().constData());
    return ExitDone;
}

// Reads only: a catalogue of an older version is matched as it is.
int runIdentify(AppState& state, const CliArguments& args) {
    const QString path = QDir::cleanPath(QFileInfo(args.argument).absoluteFilePath());
    if (!QFileInfo(path).isDir()) {
        printError(QStringLiteral("Path not found: ") + args.argument);
        return ExitError;
    }
    if (!catalogueUsable(state, true)) return ExitError;
    std::vector<CataloguedVolume> volumes;
    try {
        volumes = recogniseVolume(*state.workspace().OpenDatabase(state.catalogueFile()),
                                  state.drives(), path);
    } catch (const Error& error) {
        printError(error.message());
        return ExitError;
    }
    std::fputs(identifyOutput(volumes, state.CatalogueName, args.format).toUtf8().constData(),
               stdout);
    return volumes.empty() ? ExitNothingFound : ExitDone;
}

int runVolume(AppState& state, const CliArguments& args) {
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    std::optional<VolumeSummary> volume;
    try {
        volume = summariseVolume(*state.workspace().OpenDatabase(state.catalogueFile()),
                                 bookmark.toLongLong());
    } catch (const Error& error) {
        printError(error.message() + QStringLiteral(" Can't open catalogue database."));
        return ExitError;
    }
    if (!volume) {
        printError(QStringLiteral("no record with bookmark ") + bookmark +
                   QStringLiteral(" in catalogue ") + state.CatalogueName);
        return ExitError;
    }
    std::fputs(volumeOutput(*volume, args.format).toUtf8().constData(), stdout);
    return ExitDone;
}

// Reads only, and only the volume's own run of records.
int runLs(AppState& state, const CliArguments& args) {
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    std::vector<ListedDirectory> listing;
    try {
        const auto database = state.workspace().OpenDatabase(state.catalogueFile());
        engine::ReadHold hold(*database); // the run found is the run listed
        const std::optional<VolumeRun> run = findVolumeRun(*database, bookmark.toLongLong());
        if (!run) {
            printError(QStringLiteral("no record with bookmark ") + bookmark +
                       QStringLiteral(" in catalogue ") + state.CatalogueName);
            return ExitError;
        }
        const QString directory = args.directory.value_or(QString());
        listing =
            listVolumeDirectory(*database, *run, storedDirectory(*run, directory), args.recursive);
        if (listing.empty()) {
            printError(QStringLiteral("no directory ") + directory +
                       QStringLiteral(" in the volume of bookmark ") + bookmark +
                       QStringLiteral(" (its top: ") + run->top + u')');
            return ExitError;
        }
    } catch (const Error& error) {
        printError(error.message() + QStringLiteral(" Can't open catalogue database."));
        return ExitError;
    }
    std::fputs(listingOutput(listing, args.format).toUtf8().constData(), stdout);
    return ExitDone;
}

// The volume's texts as the details window stores them, and its location.
int runEdit(AppState& state, const CliArguments& args) {
    if (!args.description && !args.newKeywords && !args.location) {
        printError(QStringLiteral("edit needs --description, --keywords or --location (try edit "
                                  "--help)"));
        return ExitError;
    }
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    // Waits as long as another program writes the catalogue; Ctrl+C ends
    // the wait as it ends the program, before anything is written.
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {});
    VolumeEditResult result;
    try {
        result =
            editVolume(*state.workspace().OpenDatabase(state.catalogueFile()),
                       bookmark.toLongLong(), {args.description, args.newKeywords, args.location},
                       waitingForWriter(progress, cancelFlag));
    } catch (const Error& error) {
        printError(error.message());
        return ExitError;
    }
    using Outcome = VolumeEditResult::Outcome;
    switch (result.outcome) {
    case Outcome::Edited:
        break;
    case Outcome::NoRecord:
    case Outcome::NoVolume:
        return noVolume(state, bookmark, result.outcome == Outcome::NoVolume);
    case Outcome::EmptyDescription:
        printError(QStringLiteral("Sorry you cannot delete a description!"));
        return ExitError;
    case Outcome::GaveUp:
        return ExitError;
    }
    for (const VolumeEditResult::Change& change : result.changes)
        std::printf("%s: \"%s\" -> \"%s\"\n", change.field.toUtf8().constData(),
                    change.before.toUtf8().constData(), change.after.toUtf8().constData());
    if (result.changes.empty())
        std::fputs("Nothing changed: the volume holds these already.\n", stderr);
    return ExitDone;
}

int runUpdate(AppState& state, CliPrompt& prompt, const CliArguments& args) {
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    VolumeUpdateRequest request{bookmark.toLongLong(), {}, args.dryRun};
    if (args.directory)
        request.path = QDir::cleanPath(QFileInfo(*args.directory).absoluteFilePath());
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {});
    TerminalProgress::catchInterrupt();
    VolumeUpdateResult result;
    try {
        result = updateVolume(state, progress, prompt, cancelFlag, request,
                              [](const RunDifference&) { return true; });
    } catch (const Error& error) {
        printError(error.message());
        return ExitError;
    }
    progress.clearLine();
    using Outcome = VolumeUpdateResult::Outcome;
    switch (result.outcome) {
    case Outcome::Updated:
    case Outcome::Compared:
        break;
    case Outcome::NoRecord:
    case Outcome::NoVolume:
        return noVolume(state, bookmark, result.outcome == Outcome::NoVolume);
    case Outcome::Refused:
        printError(result.problem);
        return ExitError;
    case Outcome::Declined:
        printError(QStringLiteral("Cancelled: the volume is as it was."));
        return ExitError;
    case Outcome::Failed:
        return reportMessages(prompt);
    }
    for (const FileDifference& file : result.difference.files)
        std::printf("%s\n", file.line().toUtf8().constData());
    std::fprintf(stderr, "%s\n", result.difference.summary().toUtf8().constData());
    if (result.outcome == Outcome::Updated)
        std::fprintf(stderr, "Updated from %s; the volume's bookmark is now %lld.\n",
                     result.path.toLocal8Bit().constData(), static_cast<long long>(result.head));
    return ExitDone;
}

int runExport(AppState& state, const CliArguments& args) {
    const QString file = args.output.value_or(QString());
    // The format named, else the output file's, else CSV.
    std::optional<ExchangeFormat> format =
        args.exchangeFormat ? formatNamed(*args.exchangeFormat) : formatOfFile(file);
    if (args.exchangeFormat && !format) {
        printError(unknownFormatText(*args.exchangeFormat, false));
        return ExitError;
    }
    ExportRequest request{format.value_or(ExchangeFormat::Csv), file, std::nullopt};
    if (args.exportVolume) {
        if (!bookmarkGiven(*args.exportVolume)) return ExitError;
        request.volumeRecord = args.exportVolume->toLongLong();
    }
    if (!catalogueUsable(state, true)) return ExitError;
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {});
    TerminalProgress::catchInterrupt();
    try {
        if (!file.isEmpty()) refuseKeptFile(state.appFolder(), state.settings().file(), file);
        const ExchangeResult result = exportCatalogue(*state.CatalogueDatabase, state.CatalogueName,
                                                      request, progress, cancelFlag);
        progress.clearLine();
        if (result.cancelled) {
            printError(QStringLiteral("Cancelled: nothing was written."));
            return ExitError;
        }
        if (!file.isEmpty())
            std::fprintf(stderr, "Exported %lld records of %lld volumes to %s\n",
                         static_cast<long long>(result.records),
                         static_cast<long long>(result.volumes),
                         QFile::encodeName(file).constData());
    } catch (const Error& error) {
        progress.clearLine();
        printError(error.message());
        return ExitError;
    }
    return ExitDone;
}

int runImport(AppState& state, CliPrompt& prompt, const CliArguments& args) {
    ImportRequest request{args.argument, std::nullopt, args.description.value_or(QString()),
                          args.keywords};
    if (args.exchangeFormat) {
        request.format = formatNamed(*args.exchangeFormat);
        if (!request.format) {
            printError(unknownFormatText(*args.exchangeFormat, true));
            return ExitError;
        }
    }
    try {
        importFormat(request);
    } catch (const Error& error) {
        printError(error.message());
        return ExitError;
    }
    if (!catalogueExists(state.catalogueFile())) {
        int status = 1;
        CreateCatalogue(state, status);
        if (status != 0) return reportMessages(prompt);
    }
    if (!catalogueUsable(state, true)) return ExitError;
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {});
    TerminalProgress::catchInterrupt();
    try {
        const ExchangeResult result =
            importFile(*state.CatalogueDatabase, request, progress, cancelFlag,
                       waitingForWriter(progress, cancelFlag));
        progress.clearLine();
        if (result.cancelled) {
            printError(QStringLiteral("Cancelled: nothing was imported."));
            return ExitError;
        }
        std::printf("Imported %lld records of %lld volumes.\n",
                    static_cast<long long>(result.records), static_cast<long long>(result.volumes));
    } catch (const Error& error) {
        progress.clearLine();
        printError(error.message() + QStringLiteral(" Nothing was imported."));
        return ExitError;
    }
    return ExitDone;
}

int runVerify(AppState& state, const CliArguments& args) {
    const QString& bookmark = args.argument;
    if (!catalogueUsable(state, true) || !bookmarkGiven(bookmark)) return ExitError;
    VolumeVerifyRequest request{bookmark.toLongLong(), {}};
    if (args.directory)
        request.path = QDir::cleanPath(QFileInfo(*args.directory).absoluteFilePath());
    bool cancelFlag = false;
    TerminalProgress progress(cancelFlag, {});
    TerminalProgress::catchInterrupt();
    VolumeVerifyResult result;
    try {
        result = verifyVolume(state, progress, cancelFlag, request);
    } catch (const Error& error) {
        printError(error.message());
        return ExitError;
    }
    progress.clearLine();
    using Outcome = VolumeVerifyResult::Outcome;
    switch (result.outcome) {
    case Outcome::Verified:
        break;
    case Outcome::NoRecord:
    case Outcome::NoVolume:
        return noVolume(state, bookmark, result.outcome == Outcome::NoVolume);
    case Outcome::Refused:
        printError(result.problem);
        return ExitError;
    case Outcome::Cancelled:
        printError(QStringLiteral("Cancelled."));
        return ExitError;
    }
    for (const FileDifference& file : result.difference.files)
        std::printf("%s\n", file.line().toUtf8().constData());
    std::fprintf(stderr, "%s\n", result.summary().toUtf8().constData());
    return result.allMatch() ? ExitDone : ExitNothingFound;
}

int runCatalogues(AppState& state) {
    const QStringList names = catalogueNames(state.appFolder());
    for (const QString& name : names) {
        const bool current = name.compare(state.CatalogueName, Qt::CaseInsensitive) == 0;
        std::printf("%s %s\n", current ? "*" : " ", name.toLocal8Bit().constData());
    }
    return names.isEmpty() ? ExitNothingFound : ExitDone;
}

} // namespace

void applySettings(AppState& state, const CliArguments& args) {
    Settings& settings = state.settings();
    state.CatalogueName = args.catalogue.value_or(settings.get("DBName", AppName)).toUpper();
    state.Options.DefaultExtensions = DefaultExtensionList;
    state.Options.ExtensionString =
        args.extensions.value_or(settings.get(QStringLiteral("ExtensionString"), QString()));
    if (state.Options.ExtensionString.isEmpty())
        state.Options.ExtensionString = state.Options.DefaultExtensions;
    const bool useFilter = args.useFilter.value_or(settings.getBool("UseFilter", true));
    state.Options.UseFilter = Settings::boolText(useFilter);
    state.Options.SaveDates = !args.noDates && settings.getBool("SaveDates", true);
    state.Options.SaveLengths = !args.noSizes && settings.getBool("SaveLengths", true);
    state.Options.LookInArchives =
        args.lookInArchives.value_or(settings.getBool("LookInArchives", false));
    state.Options.SaveChecksums =
        args.saveChecksums.value_or(settings.getBool("SaveChecksums", false));
    state.Options.DisplayPaths = !args.noPaths;
}

int runCommand(AppState& state, CliPrompt& prompt, const CliArguments& args,
               const PrintModuleLoader* printer) {
    switch (args.command) {
    case Command::Create:
        return runCreate(state, prompt, args.argument);
    case Command::Delete:
        return runDelete(state, prompt, args.argument);
    case Command::Use:
        return runUse(state, prompt, args.argument);
    case Command::Catalogues:
        return runCatalogues(state);
    case Command::Help:
        return ExitDone;
    default:
        break;
    }
    if (isAnswer(args.command)) return runAnswerCommand(state, args);
    if (args.allCatalogues) return runQueryOnEveryCatalogue(state, prompt, args, printer);
    // The rest work on the current catalogue, named by the settings or
    // --catalogue: a name that leads out of the folder opens nothing.
    if (const QString problem = catalogueNameProblem(state.CatalogueName); !problem.isEmpty()) {
        printError(problem);
        return ExitError;
    }
    if (args.command == Command::Add) return runAdd(state, prompt, args);
    if (args.command == Command::Show) return runShow(state, prompt, args);
    if (args.command == Command::Erase) return runErase(state, prompt, args);
    if (args.command == Command::Identify) return runIdentify(state, args);
    if (args.command == Command::Volume) return runVolume(state, args);
    if (args.command == Command::Ls) return runLs(state, args);
    if (args.command == Command::Edit) return runEdit(state, args);
    if (args.command == Command::Update) return runUpdate(state, prompt, args);
    if (args.command == Command::Export) return runExport(state, args);
    if (args.command == Command::Import) return runImport(state, prompt, args);
    if (args.command == Command::Verify) return runVerify(state, args);
    return runQuery(state, prompt, args, printer);
}

} // namespace orvik::cli
