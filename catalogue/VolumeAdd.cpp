#include "VolumeAdd.h"

#include "AppState.h"
#include "CatalogueFiles.h"
#include "Error.h"
#include "Progress.h"
#include "Prompt.h"
#include "engine/Database.h"
#include "engine/Recordset.h"
#include "platform/Drives.h"

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
            return AddOptions{state.SaveDates, state.SaveLengths, state.UseFilter,
                              state.ExtensionString};
        };
}

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
    if (m_controls) m_controls->setBusyPointer(true);
    m_start = std::chrono::steady_clock::now();
    auto endWith = [&](Result result) {
        if (m_controls) m_controls->setBusyPointer(false);
        return result;
    };
    if (!createCatalogueIfMissing()) return endWith(Result::Failed);
    if (!catalogueWritable()) {
        m_progress.status(AddFailed);
        return endWith(Result::Failed);
    }
    m_progress.status(QStringLiteral("Adding Files - please wait ..."));

    m_state.CurPath = topDirectory;
    for (;;) {
        try {
            m_state.CurVolume = m_state.drives().volumeLabel(m_state.CurPath);
            if (m_state.CurVolume.isEmpty()) m_state.CurVolume = NoVolumeLabel;
            break;
        } catch (const Error& error) {
            if (collectionFailed(error) == Stage::EndProgram) return endWith(Result::ProgramEnds);
        }
    }
    DirList[0] = m_state.CurPath;
    m_files.clear();
    SkippedDirs.clear();
    m_progress.status(QStringLiteral("Counting directories ... "));

    DirStart = 0;
    DirCount = 1;
    int previousCount = -1;
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
        m_state.CatalogueChanged = true;
        m_files.clear();
        return endWith(result);
    };

    while (DirCount != previousCount && !CancelFlag) {
        previousCount = DirCount;
        if (Add_SubDirs(DirStart, DirCount) == Stage::EndProgram)
            return finish(Result::ProgramEnds);
    }
    if (m_controls) m_controls->enableButtons(true);
    m_progress.status(QStringLiteral("Writing entries to catalogue ... (") +
                      QString::number(secondsElapsed()) + QStringLiteral(" secs elapsed)"));
    const Stage written = CancelFlag ? Stage::Going : List_files(DirCount);
    if (written == Stage::EndProgram) return finish(Result::ProgramEnds);
    if (written == Stage::Abandoned) {
        m_progress.status(AddFailed);
        return finish(Result::Failed);
    }

    if (CancelFlag) {
        m_progress.status(QStringLiteral("Cancelled by user!"));
        return finish(Result::Cancelled);
    }
    m_progress.status(QStringLiteral("Finished!\r\n") + QString::number(DirCount) +
                      QStringLiteral(" Directories \r\n") + QString::number(FileCount) +
                      QStringLiteral(" Files (") + QString::number(secondsElapsed()) +
                      QStringLiteral(" secs elapsed)") +
                      (SkippedDirs.empty()
                           ? QString()
                           : QStringLiteral("\r\n") + QString::number(SkippedDirs.size()) +
                                 QStringLiteral(" Directories skipped (no "
                                                "permission to read them)")));
    m_state.CurDescription.clear();
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

// A locked or read-only catalogue is found before minutes of scanning, not after.
bool VolumeAdd::catalogueWritable() {
    for (;;) {
        try {
            m_state.workspace().OpenDatabase(m_state.catalogueFile())->checkWritable();
            return true;
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

VolumeAdd::Stage VolumeAdd::Add_SubDirs(int& MyStart, int& MyEnd) {
    int i = MyStart;
    int newEnd = MyEnd;
    const int oldEnd = MyEnd;
    // Once cancelled, the rest of the level is not worth listing.
    while (i < oldEnd && !CancelFlag) {
        m_state.CurPath = DirList[size_t(i)];
        m_progress.status(m_state.CurPath);
        m_state.CurPath = withSlash(m_state.CurPath);
        std::vector<DirEntry> entries;
        for (;;) {
            try {
                entries = m_state.fileSystem().list(m_state.CurPath);
                break;
            } catch (const AccessDenied&) {
                // Asking again would not change the answer: the directory is
                // left out and the summary says so.
                SkippedDirs.push_back(m_state.CurPath);
                break;
            } catch (const Error& error) {
                if (collectionFailed(error) == Stage::EndProgram) return Stage::EndProgram;
            }
        }
        std::vector<DirEntry> files;
        for (DirEntry& entry : entries) {
            if (CancelFlag) break;
            if (!entry.isDirectory) {
                files.push_back(std::move(entry));
                continue;
            }
            // A volume is one file system: mounts below the top are not walked.
            if (entry.otherFileSystem) continue;
            if (size_t(newEnd) >= DirList.size()) DirList.resize(DirList.size() + DirListStep);
            DirList[size_t(newEnd)] = m_state.CurPath + entry.name;
            m_progress.status(DirList[size_t(newEnd)]);
            ++newEnd;
            if (newEnd % YieldEvery == 0) m_progress.letEventsRun();
        }
        m_files.insert(DirList[size_t(i)], std::move(files));
        ++i;
    }
    MyEnd = newEnd;
    MyStart = oldEnd;
    return Stage::Going;
}

// Case-insensitive and stable; a path sorts before every longer path that
// begins with it, so each directory comes before the ones below it.
void VolumeAdd::Sort_Dirs() {
    m_progress.status(QStringLiteral("Started sorting directories"));
    std::stable_sort(
        DirList.begin(), DirList.begin() + DirCount,
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    m_progress.status(
        QStringLiteral("Finished sorting directories - now adding files to database ..."));
}

// A failure rolls the whole run back; Retry writes it again from the start.
// Cancel ends the program, but once a rewrite has failed as well (a failure
// that comes back on every write) it ends only the add.
VolumeAdd::Stage VolumeAdd::List_files(int& MyEnd) {
    Sort_Dirs();
    for (bool rewrite = false;; rewrite = true) {
        try {
            writeRun(MyEnd);
            return Stage::Going;
        } catch (const Error& error) {
            try {
                m_state.workspace().Rollback();
            } catch (const Error&) {
                // A connection that failed has already given up its transaction.
            }
            if (writingFailed(error) != Answer::Retry)
                return rewrite ? Stage::Abandoned : Stage::EndProgram;
        }
    }
}

void VolumeAdd::writeRun(int dirCount) {
    FileCount = 0;
    LastPath = NoPath;
    engine::Workspace& workspace = m_state.workspace();
    m_state.CatalogueRecordset.reset();
    m_state.CatalogueDatabase = workspace.OpenDatabase(m_state.catalogueFile());
    m_state.CatalogueRecordset = std::make_shared<engine::Recordset>(m_state.CatalogueDatabase,
                                                                     engine::RecordsetType::Table);
    // Held here too: another window may reopen the shared recordset while the
    // event loop runs.
    const std::shared_ptr<engine::Recordset> records = m_state.CatalogueRecordset;
    if (!records->BOF()) records->MoveLast();
    workspace.BeginTrans();
    for (int i = 0; i < dirCount && !CancelFlag; ++i) {
        m_state.CurPath = withSlash(DirList[size_t(i)]);
        for (const DirEntry& entry : m_files[DirList[size_t(i)]]) {
            if (CancelFlag) break;
            const AddOptions options = m_options();
            if (!passesFilter(entry.name, options.extensionString, options.useFilter)) continue;
            writeRecord(*records, entry, options);
            ++FileCount;
            if (FileCount % YieldEvery == 0) {
                m_progress.letEventsRun();
                m_progress.status(QStringLiteral("File count: ") + QString::number(FileCount));
            }
        }
    }
    if (CancelFlag)
        workspace.Rollback();
    else
        workspace.CommitTrans();
}

void VolumeAdd::writeRecord(engine::Recordset& records, const DirEntry& entry,
                            const AddOptions& options) {
    records.AddNew();
    records.setField(Field::CDFile, entry.name.toUpper());
    if (FileCount == 0) {
        if (!m_keywords.isEmpty()) {
            m_state.CurKeywords = m_keywords;
            records.setField(Field::CDKeywords, m_state.CurKeywords.toUpper());
        }
        records.setField(Field::CDVolume, m_state.CurVolume.isEmpty()
                                              ? NoVolumeLabel.toUpper()
                                              : m_state.CurVolume.toUpper());
        records.setField(Field::CDDescription, m_state.CurDescription.toUpper());
    }
    if (m_state.CurPath != LastPath) {
        records.setField(Field::CDPath, m_state.CurPath.toUpper());
        LastPath = m_state.CurPath;
    }
    if (options.saveDates) records.setField(Field::CDFileDate, formatFileDate(entry.modified));
    if (options.saveLengths) records.setField(Field::CDFileLen, QString::number(entry.size));
    records.Update();
}

} // namespace orvik
