#include "catalogue/VolumeAdd.h"

#include "catalogue/FileHasher.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/Progress.h"
#include "core/Prompt.h"
#include "core/WriterWait.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Checksums.h"
#include "core/engine/RecordAppender.h"
#include "core/engine/Recordset.h"
#include "core/platform/Drives.h"

#include <QDateTime>
#include <algorithm>
#include <chrono>

namespace orvik {

namespace {

using engine::Field;

// No real directory is named like this, so the run's first record always heads a directory.
const QString NoPath = QStringLiteral("ZZZZZZZZZZZZZZZZZ");
constexpr int YieldEvery = 20;
const QString AddFailed = QStringLiteral("Add failed - the catalogue is as it was before.");
constexpr int DirListStep = 100;

QString withSlash(const QString& directory) {
    return directory.endsWith('/') ? directory : directory + '/';
}

// The summary's line for directories left out for `reason`, when there are any.
QString leftOut(const std::vector<QString>& directories, const QString& reason) {
    if (directories.empty()) return {};
    return QStringLiteral("\r\n") + QString::number(directories.size()) +
           QStringLiteral(" Directories skipped (") + reason + QStringLiteral(")");
}

// The summary's line for archives that could not be read, when there are any.
QString unreadable(const std::vector<TreeCollector::UnreadableArchive>& archives) {
    if (archives.empty()) return {};
    return QStringLiteral("\r\n") + QString::number(archives.size()) +
           (archives.size() == 1 ? QStringLiteral(" archive") : QStringLiteral(" archives")) +
           QStringLiteral(" could not be read");
}

// The content of `path` an update's comparison read; none when it did not.
const engine::Checksum* readBefore(const std::optional<VolumeAdd::Replacing>& replaced,
                                   const QString& path) {
    if (!replaced || !replaced->contentsRead) return nullptr;
    const auto known = replaced->contentsRead->constFind(path);
    return known == replaced->contentsRead->cend() ? nullptr : &*known;
}

// The summary's line for files whose checksums could not be computed.
QString unreadable(const std::vector<VolumeAdd::UnreadableFile>& files) {
    if (files.empty()) return {};
    return QStringLiteral("\r\n") + QString::number(files.size()) +
           (files.size() == 1 ? QStringLiteral(" file") : QStringLiteral(" files")) +
           QStringLiteral(" could not be read");
}

} // namespace

bool passesFilter(const QString& name, const QString& extensionString, const QString& useFilter) {
    if (Settings::parseBool(useFilter) != true) return true;
    const qsizetype dot = name.indexOf('.');
    if (dot < 0) return false;
    return extensionString.contains(name.mid(dot, 20), Qt::CaseInsensitive);
}

VolumeAdd::VolumeAdd(AppState& state, Progress& progress, Prompt& prompt, bool& busy,
                     bool& cancelFlag, AddControls* controls, std::function<AddOptions()> options)
    : DirList(DirListStep + 1), m_state(state), m_progress(progress), m_prompt(prompt), Busy(busy),
      CancelFlag(cancelFlag), m_controls(controls), m_options(std::move(options)) {
    if (!m_options)
        m_options = [&state] {
            return AddOptions{state.Options.SaveDates,      state.Options.SaveLengths,
                              state.Options.UseFilter,      state.Options.ExtensionString,
                              state.Options.LookInArchives, state.Options.SaveChecksums};
        };
}

VolumeAdd::~VolumeAdd() = default;

bool VolumeAdd::checkDescription(const QString& description) {
    if (!description.isEmpty()) return true;
    m_prompt.tell(QStringLiteral("Please enter a description"), Icon::Exclamation);
    return false;
}

int VolumeAdd::secondsElapsed() const {
    using namespace std::chrono;
    return int(duration_cast<seconds>(steady_clock::now() - m_start).count());
}

VolumeAdd::Result VolumeAdd::run(const QString& topDirectory, const QString& keywords) {
    m_keywords = keywords;
    CatalogueChanged = false;
    if (m_controls) m_controls->setBusyPointer(true);
    m_start = std::chrono::steady_clock::now();
    auto endWith = [&](Result result) {
        if (m_controls) m_controls->setBusyPointer(false);
        return result;
    };
    if (!createCatalogueIfMissing()) return endWith(Result::Failed);
    m_progress.status(ReplacedVolume ? QStringLiteral("Updating CD - please wait ...")
                                     : QStringLiteral("Adding Files - please wait ..."));

    CurPath = topDirectory;
    m_topDirectory = topDirectory;
    m_scanned = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    for (;;) {
        try {
            m_label = m_state.drives().volumeLabel(CurPath);
            m_facts = m_state.drives().fileSystemFacts(CurPath);
            CurVolume = m_label.isEmpty() ? NoVolumeLabel : m_label;
            break;
        } catch (const Error& error) {
            if (collectionFailed(error) == Stage::EndProgram) return endWith(Result::ProgramEnds);
        }
    }
    SkippedDirs.clear();
    TooLongDirs.clear();
    UnreadableArchives.clear();
    UnreadableFiles.clear();

    DirCount = 0;
    Busy = true;
    if (m_controls) {
        m_controls->setExitCaption(QStringLiteral("Cancel"));
        m_controls->enableButtons(false);
    }
    CancelFlag = false;
    auto finish = [&](Result result) {
        if (m_controls) {
            m_controls->enableButtons(true);
            m_controls->setExitCaption(QStringLiteral("E&xit"));
        }
        CancelFlag = false;
        Busy = false;
        CatalogueChanged = true;
        m_collected.clear();
        m_checksums.reset();
        m_hasher.reset();
        return endWith(result);
    };
    auto cancelled = [&] {
        m_progress.status(QStringLiteral("Cancelled by user!"));
        return finish(Result::Cancelled);
    };

    // Busy already, so Cancel ends a wait for another program's write.
    if (!catalogueWritable()) {
        if (CancelFlag) return cancelled();
        m_progress.status(AddFailed);
        return finish(Result::Failed);
    }
    m_progress.status(QStringLiteral("Counting directories ... "));

    const Stage written = List_files();
    if (written == Stage::EndProgram) return finish(Result::ProgramEnds);
    if (written == Stage::Abandoned) {
        m_progress.status(AddFailed);
        return finish(Result::Failed);
    }

    if (CancelFlag) return cancelled();
    m_progress.status(QStringLiteral("Finished!\r\n") + QString::number(DirCount) +
                      QStringLiteral(" Directories \r\n") + QString::number(FileCount) +
                      QStringLiteral(" Files (") + QString::number(secondsElapsed()) +
                      QStringLiteral(" secs elapsed)") +
                      leftOut(SkippedDirs, QStringLiteral("no permission to read them")) +
                      leftOut(TooLongDirs, QStringLiteral("path too long for the catalogue")) +
                      unreadable(UnreadableArchives) + unreadable(UnreadableFiles));
    CurDescription.clear();
    return finish(Result::Finished);
}

// Retry creates it again; Cancel gives up the add before anything is collected.
bool VolumeAdd::createCatalogueIfMissing() {
    while (!catalogueExists(m_state.catalogueFile())) {
        int status = 0;
        CreateCatalogue(m_state, status);
        if (status == 0) break;
        if (m_prompt.ask(QStringLiteral("Can't create new catalogue ") + m_state.CatalogueName,
                         Buttons::RetryCancel, Icon::Exclamation) != Answer::Retry)
            return false;
    }
    return true;
}

// A read-only catalogue is found before minutes of scanning, not after; one
// that another program writes is waited for first.
bool VolumeAdd::catalogueWritable() {
    for (;;) {
        try {
            return m_state.workspace()
                .OpenDatabase(m_state.catalogueFile())
                ->checkWritable(waitingForWriter(m_progress, CancelFlag));
        } catch (const Error& error) {
            if (writingFailed(error) != Answer::Retry) return false;
        }
    }
}

Answer VolumeAdd::writingFailed(const Error& error) {
    m_prompt.tell(error.message(), Icon::Exclamation);
    return m_prompt.ask(QStringLiteral("Can't open/edit catalogue file ") + m_state.CatalogueName +
                            QStringLiteral(" - Read Only?."),
                        Buttons::RetryCancel, Icon::Exclamation);
}

VolumeAdd::Stage VolumeAdd::collectionFailed(const Error& error) {
    m_prompt.tell(error.message(), Icon::Exclamation);
    const Answer answer = m_prompt.ask(QStringLiteral("Can't open file - check CD."),
                                       Buttons::RetryCancel, Icon::Exclamation);
    return answer == Answer::Retry ? Stage::Retry : Stage::EndProgram;
}

// A failure rolls the whole run back; Retry writes it again from the start
// while the walk goes on. Cancel ends the program, but once a rewrite has
// failed as well (a failure that comes back on every write) it ends only the add.
VolumeAdd::Stage VolumeAdd::List_files() {
    m_collected.clear();
    m_lookInArchives = m_options().lookInArchives;
    m_saveChecksums = m_options().saveChecksums;
    TreeCollector walk(m_state.fileSystem(), CurPath, m_lookInArchives, m_saveChecksums);
    bool walking = true;
    for (bool rewrite = false;; rewrite = true) {
        try {
            return writeRun(walk, walking);
        } catch (const Error& error) {
            // The run's transaction is rolled back already.
            if (writingFailed(error) != Answer::Retry)
                return rewrite ? Stage::Abandoned : Stage::EndProgram;
        }
    }
}

VolumeAdd::Stage VolumeAdd::writeRun(TreeCollector& walk, bool& walking) {
    // While the walk reads on, the writer waits this long for it at a time,
    // letting the events run in between.
    constexpr std::chrono::milliseconds WaitForWalk(30);
    // Rather than wait, it indexes what it has written, this many records
    // (a few milliseconds) at a time: the commit is left less to index.
    constexpr std::int64_t IndexStretch = 2048;
    FileCount = 0;
    m_directoriesWritten = m_bytesWritten = 0;
    LastPath = NoPath;
    engine::Workspace& workspace = m_state.workspace();
    m_state.CatalogueRecordset.reset();
    m_state.CatalogueDatabase = workspace.OpenDatabase(m_state.catalogueFile());
    m_state.CatalogueRecordset = std::make_shared<engine::Recordset>(m_state.CatalogueDatabase,
                                                                     engine::RecordsetType::Table);
    // Held here too: another window may reopen the shared ones while the
    // event loop runs.
    const std::shared_ptr<engine::Catalogue> database = m_state.CatalogueDatabase;
    const std::shared_ptr<engine::Recordset> records = m_state.CatalogueRecordset;
    // Another program's erase may empty the table between the recordset's
    // opening and this move: then there is no last record to stand on.
    try {
        if (!records->BOF()) records->MoveLast();
    } catch (const Error& error) {
        if (error.number() != errors::NoCurrentRecord) throw;
    }
    // The appender holds the run's transaction. It takes the write lock before
    // the first read, so another program's add is waited for until it ends,
    // not refused when this one comes to write.
    std::optional<engine::RecordAppender> appender;
    auto beginWriting = [&] {
        appender.reset(); // rolled back first
        appender.emplace(*database, waitingForWriter(m_progress, CancelFlag));
        if (*appender && ReplacedVolume && ReplacedVolume->locked) ReplacedVolume->locked();
        // The files are read again for a run written anew: its records are others.
        m_checksums.reset();
        m_hasher.reset();
        UnreadableFiles.clear();
        if (*appender && m_saveChecksums) {
            m_hasher = std::make_unique<FileHasher>();
            m_checksums = std::make_unique<engine::ChecksumWriter>(*database);
            m_hashingSince = std::chrono::steady_clock::now();
        }
        return bool(*appender);
    };
    if (!beginWriting()) {
        walk.stop();
        return Stage::Going;
    }
    m_walkSettings = {};
    bool replaced = false;
    for (size_t next = 0;;) {
        const bool idle = next == m_collected.size();
        if (walking) {
            // A writer that keeps up with the walk has time to index.
            const bool keepsUp = m_collected.size() - next <= 1;
            const bool waits = !(keepsUp && appender->indexStretch(IndexStretch)) && idle;
            const Stage taken = takeOver(
                walk.take(waits ? WaitForWalk : std::chrono::milliseconds(0)), walk, walking, idle);
            if (taken != Stage::Going) {
                appender.reset();
                return taken;
            }
            // The records come out as if all were written after the walk: an
            // option or the description changed meanwhile has them written anew.
            if (!walking && writtenWithOtherSettings()) {
                if (!beginWriting()) {
                    walk.stop();
                    return Stage::Going;
                }
                FileCount = 0;
                m_directoriesWritten = m_bytesWritten = 0;
                LastPath = NoPath;
                next = 0;
            }
        }
        if (m_hasher) storeChecksums(std::chrono::milliseconds(0));
        if (CancelFlag) {
            walk.stop();
            appender.reset();
            return Stage::Going;
        }
        if (ReplacedVolume && !walking && !replaced) {
            if (!removeReplacedRun(*appender)) {
                CancelFlag = true;
                appender.reset();
                return Stage::Going;
            }
            replaced = true;
        }
        if (next < m_collected.size())
            writeDirectory(*appender, m_collected[next++], walking);
        else if (walking)
            m_progress.letEventsRun();
        else
            break;
    }
    if (!finishChecksums()) {
        appender.reset();
        return Stage::Going;
    }
    const engine::VolumeIdentity written = identity();
    appender->commit(&written);
    return Stage::Going;
}

void VolumeAdd::storeChecksums(std::chrono::milliseconds wait) {
    for (FileHasher::Hashed& hashed : m_hasher->take(wait)) {
        if (hashed.checksum)
            m_checksums->write(hashed.key, *hashed.checksum);
        else
            UnreadableFiles.push_back({std::move(hashed.path), std::move(hashed.failure)});
    }
    // The status shows the reading when it is behind, twice a second.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastHashingStatus >= std::chrono::milliseconds(500) && !m_hasher->done()) {
        m_lastHashingStatus = now;
        m_progress.status(QStringLiteral("Computing checksums: ") + hashingProgress());
    }
}

bool VolumeAdd::finishChecksums() {
    if (!m_hasher) return true;
    while (!m_hasher->done()) {
        storeChecksums(std::chrono::milliseconds(30));
        m_progress.letEventsRun();
        if (CancelFlag) return false;
    }
    storeChecksums(std::chrono::milliseconds(0));
    return true;
}

QString VolumeAdd::hashingProgress() const {
    if (!m_hasher) return {};
    using namespace std::chrono;
    return hashingStatus(m_hasher->bytesRead(), m_hasher->bytesAdded(),
                         duration_cast<milliseconds>(steady_clock::now() - m_hashingSince));
}

bool VolumeAdd::removeReplacedRun(engine::RecordAppender& records) {
    const std::optional<VolumeRun> old = ReplacedVolume->beforeWriting(m_collected);
    if (!old) return false;
    records.remove(old->head, old->end - 1);
    return true;
}

engine::VolumeIdentity VolumeAdd::identity() const {
    const AddOptions options = m_options();
    engine::VolumeIdentity identity;
    identity.uuid = m_facts.uuid;
    identity.fsType = m_facts.type;
    identity.label = m_label;
    identity.topDirectory = m_topDirectory;
    identity.place = m_facts.place;
    identity.totalBytes = m_facts.totalBytes;
    identity.freeBytes = m_facts.freeBytes;
    identity.scanned = m_scanned;
    identity.useFilter = Settings::parseBool(options.useFilter) == true;
    identity.extensions = options.extensionString;
    identity.saveDates = options.saveDates;
    identity.saveLengths = options.saveLengths;
    identity.lookInArchives = m_lookInArchives;
    identity.saveChecksums = m_saveChecksums;
    identity.directories = m_directoriesWritten;
    identity.files = FileCount;
    identity.bytes = m_bytesWritten;
    if (ReplacedVolume) identity.location = ReplacedVolume->location;
    return identity;
}

VolumeAdd::Stage VolumeAdd::takeOver(TreeCollector::News news, TreeCollector& walk, bool& walking,
                                     bool writerIdle) {
    for (TreeCollector::Directory& directory : news.directories) {
        if (size_t(DirCount) >= DirList.size()) DirList.resize(DirList.size() + DirListStep);
        DirList[size_t(DirCount++)] = directory.path;
        m_collected.push_back(std::move(directory));
        // While the walk goes on, a click on Cancel is seen at least this often.
        if (DirCount % YieldEvery == 0) m_progress.letEventsRun();
    }
    SkippedDirs.insert(SkippedDirs.end(), news.skipped.begin(), news.skipped.end());
    TooLongDirs.insert(TooLongDirs.end(), news.tooLong.begin(), news.tooLong.end());
    UnreadableArchives.insert(UnreadableArchives.end(), news.unreadableArchives.begin(),
                              news.unreadableArchives.end());
    // The status shows what the add waits for: the walk, or else the writing.
    if (writerIdle && !news.latest.isEmpty()) m_progress.status(news.latest);
    if (news.failure) {
        if (collectionFailed(*news.failure) == Stage::EndProgram) {
            walk.stop();
            return Stage::EndProgram;
        }
        walk.retry();
    }
    if (news.finished) {
        walking = false;
        if (m_controls) m_controls->enableButtons(true);
        m_progress.status(QStringLiteral("Writing entries to catalogue ... (") +
                          QString::number(secondsElapsed()) + QStringLiteral(" secs elapsed)"));
        // The walk has handed the directories over in sorted order already.
        m_progress.status(QStringLiteral("Started sorting directories"));
        m_progress.status(
            QStringLiteral("Finished sorting directories - now adding files to database ..."));
    }
    return Stage::Going;
}

bool VolumeAdd::writtenWithOtherSettings() const {
    if (!m_walkSettings.options) return false;
    return m_walkSettings.varied || !m_walkSettings.options->writesAlike(m_options()) ||
           (m_walkSettings.headDescription && *m_walkSettings.headDescription != CurDescription);
}

void VolumeAdd::writeDirectory(engine::RecordAppender& records,
                               const TreeCollector::Directory& directory, bool walking) {
    CurPath = withSlash(directory.path);
    for (const TreeCollector::File& file : directory.files) {
        if (CancelFlag) return;
        const AddOptions options = m_options();
        if (walking) {
            if (!m_walkSettings.options)
                m_walkSettings.options = options;
            else if (!m_walkSettings.options->writesAlike(options))
                m_walkSettings.varied = true;
        }
        if (!passesFilter(file.entry.name, options.extensionString, options.useFilter)) continue;
        if (walking && FileCount == 0) m_walkSettings.headDescription = CurDescription;
        writeRecord(records, directory, file, options);
        ++FileCount;
        if (FileCount % YieldEvery == 0) {
            m_progress.letEventsRun();
            m_progress.status(QStringLiteral("File count: ") + QString::number(FileCount));
        }
    }
}

// The texts of the files come ready from the walk; an empty field is Null.
void VolumeAdd::writeRecord(engine::RecordAppender& records,
                            const TreeCollector::Directory& directory,
                            const TreeCollector::File& file, const AddOptions& options) {
    engine::StoredRecord record;
    record[size_t(Field::CDFile)] = directory.storedName(file);
    if (FileCount == 0) {
        if (!m_keywords.isEmpty()) {
            CurKeywords = m_keywords;
            record[size_t(Field::CDKeywords)] = engine::storedText(CurKeywords.toUpper());
        }
        record[size_t(Field::CDVolume)] =
            engine::storedText(CurVolume.isEmpty() ? NoVolumeLabel.toUpper() : CurVolume.toUpper());
        record[size_t(Field::CDDescription)] = engine::storedText(CurDescription.toUpper());
    }
    if (CurPath != LastPath) {
        record[size_t(Field::CDPath)] = engine::storedText(CurPath.toUpper());
        LastPath = CurPath;
        ++m_directoriesWritten;
    }
    m_bytesWritten += file.entry.size;
    if (options.saveDates) record[size_t(Field::CDFileDate)] = file.date;
    if (options.saveLengths) record[size_t(Field::CDFileLen)] = directory.storedLength(file);
    const std::int64_t rowid = records.append(record);
    if (!m_hasher) return;
    // A member's content was read with its archive's listing.
    if (directory.inArchive) {
        if (file.checksum) m_checksums->write(rowid, *file.checksum);
        return;
    }
    QString path = directory.pathOf(file);
    if (const engine::Checksum* read = readBefore(ReplacedVolume, path))
        m_checksums->write(rowid, *read);
    else
        m_hasher->add(rowid, std::move(path), file.entry.size);
}

} // namespace orvik
