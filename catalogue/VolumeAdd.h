// Adding a volume: walks a directory tree and writes one sparse volume run
// into the current catalogue in one transaction, directory by directory in
// sorted path order, each as soon as the walk has listed it.
#pragma once

#include "catalogue/TreeCollector.h"
#include "core/Prompt.h"
#include "core/engine/VolumeIdentity.h"
#include "core/platform/Drives.h"
#include "core/platform/FileSystem.h"
#include "core/records/VolumeListing.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace orvik {

class AppState;
class Error;
class Progress;
class Prompt;
class FileHasher;
namespace engine {
class Catalogue;
class ChecksumWriter;
class RecordAppender;
} // namespace engine

// The add options as they stand when a record is written.
struct AddOptions {
    bool saveDates = false;
    bool saveLengths = false;
    QString useFilter; // the word True or False
    QString extensionString;
    // Taken once, when the walk starts: they decide what the add reads.
    bool lookInArchives = false;
    bool saveChecksums = false; // each file's content hashed, archives' members' too
    // Whether records written with either are the same.
    bool writesAlike(const AddOptions& other) const {
        return saveDates == other.saveDates && saveLengths == other.saveLengths &&
               useFilter == other.useFilter && extensionString == other.extensionString;
    }
};

// Whether `name` passes the extension filter: everything from its first dot
// (at most 20 characters) must occur somewhere in `extensionString`.
bool passesFilter(const QString& name, const QString& extensionString, const QString& useFilter);

// What the add changes on the window that runs it.
class AddControls {
public:
    virtual ~AddControls() = default;
    virtual void setBusyPointer(bool busy) = 0;
    virtual void setExitCaption(const QString& caption) = 0;
    // Add1, CmdExec and CmdFind.
    virtual void enableButtons(bool enabled) = 0;
};

class VolumeAdd {
public:
    enum class Result {
        Finished,
        Cancelled,
        Failed,     // ended early after telling the user; the catalogue is as before
        ProgramEnds // the user chose Cancel in a failure box: close the windows and end
    };

    // `busy` and `cancelFlag` are the window's; `options` defaults to the shared state.
    VolumeAdd(AppState& state, Progress& progress, Prompt& prompt, bool& busy, bool& cancelFlag,
              AddControls* controls = nullptr, std::function<AddOptions()> options = {});
    ~VolumeAdd();

    // "Please enter a description" when `description` is empty.
    bool checkDescription(const QString& description);
    // Adds the tree below `topDirectory` with the description in CurDescription.
    Result run(const QString& topDirectory, const QString& keywords);

    // The run's description, which the window may change while the walk goes
    // on, and the top directory, label and keywords the run writes.
    QString CurDescription, CurPath, CurVolume, CurKeywords;
    // Whether the last run went as far as the catalogue (finished, cancelled
    // or failed there), so a list made from it may be out of date.
    bool CatalogueChanged = false;

    // Makes the runs an update of a volume: `locked` runs as soon as the run's
    // transaction holds the write lock (again after a failed write), while
    // the walk reads on; once the walk has ended, in the same transaction,
    // beforeWriting sees what the walk handed over and gives the old run,
    // which is deleted in the transaction that appends the new one, or none
    // to cancel the run.
    struct Replacing {
        QString location; // the volume's, kept
        std::function<void()> locked;
        std::function<std::optional<VolumeRun>(const std::vector<TreeCollector::Directory>&)>
            beforeWriting;
        // The contents of files beforeWriting read, by path: their records
        // keep these checksums rather than have the files read again.
        std::shared_ptr<const QHash<QString, engine::Checksum>> contentsRead;
    };
    std::optional<Replacing> ReplacedVolume;

    // The directories of the last run in sorted order, the first DirCount used.
    std::vector<QString> DirList;
    // Directories of the last run that the system refused to read; left out.
    std::vector<QString> SkippedDirs;
    // Directories of the last run whose path is too long to store or to
    // name; left out with everything below them.
    std::vector<QString> TooLongDirs;
    // Archives of the last run that could not be read to their end.
    std::vector<TreeCollector::UnreadableArchive> UnreadableArchives;
    // Files of the last run that could not be read for their checksums.
    struct UnreadableFile {
        QString path, reason;
    };
    std::vector<UnreadableFile> UnreadableFiles;
    int DirCount = 0;
    int FileCount = 0;
    QString LastPath;

    // While checksums are computed, "1.2 GB of 2.0 GB read, 150 MB/s, 5 s
    // left"; "" otherwise.
    QString hashingProgress() const;

private:
    enum class Stage { Going, Retry, EndProgram, Abandoned };

    bool createCatalogueIfMissing();
    // False when the add is not to go on: told, or cancelled while waiting.
    bool catalogueWritable();
    // The two boxes of a catalogue that cannot be written; Retry or Cancel.
    Answer writingFailed(const Error& error);
    // Walks the tree and writes its records; a failed write starts again.
    Stage List_files();
    // Writes the directories in one transaction as the walk hands them over,
    // until the walk ends or the add is cancelled; throws orvik::Error.
    Stage writeRun(TreeCollector& walk, bool& walking);
    // Takes over what the walk found; EndProgram when a failed listing is
    // not to be tried again.
    Stage takeOver(TreeCollector::News news, TreeCollector& walk, bool& walking, bool writerIdle);
    // False when beforeWriting cancels the run.
    bool removeReplacedRun(engine::RecordAppender& records);
    void writeDirectory(engine::RecordAppender& records, const TreeCollector::Directory& directory,
                        bool walking);
    // Whether the records written while the walk went on differ from those
    // a writing stage begun only now would write.
    bool writtenWithOtherSettings() const;
    void writeRecord(engine::RecordAppender& records, const TreeCollector::Directory& directory,
                     const TreeCollector::File& file, const AddOptions& options);
    Stage collectionFailed(const Error& error);
    // Stores the checksums hashed so far, waiting at most `wait` for one.
    void storeChecksums(std::chrono::milliseconds wait);
    // Once every record is written: stores the rest; false when cancelled.
    bool finishChecksums();
    int secondsElapsed() const;
    // What the run's identity holds once its records are written.
    engine::VolumeIdentity identity() const;

    AppState& m_state;
    Progress& m_progress;
    Prompt& m_prompt;
    bool& Busy;
    bool& CancelFlag;
    // The directories handed over so far, kept so a rewrite reads nothing again.
    std::vector<TreeCollector::Directory> m_collected;
    // The settings the records written while walking were written with.
    struct WalkSettings {
        std::optional<AddOptions> options; // none when no file was reached
        bool varied = false;
        std::optional<QString> headDescription; // when the head was written
    } m_walkSettings;
    AddControls* m_controls;
    std::function<AddOptions()> m_options;
    QString m_keywords;
    bool m_lookInArchives = false; // the run's walk's
    bool m_saveChecksums = false;  // the run's
    // The files' reading, and the checksums' writing in the run's transaction.
    std::unique_ptr<FileHasher> m_hasher;
    std::unique_ptr<engine::ChecksumWriter> m_checksums;
    std::chrono::steady_clock::time_point m_hashingSince;
    std::chrono::steady_clock::time_point m_lastHashingStatus;
    // Read with the label, before the walk: the medium as it was scanned.
    FileSystemFacts m_facts;
    QString m_topDirectory, m_label, m_scanned;
    // Directories with a record, and the bytes of the files written.
    std::int64_t m_directoriesWritten = 0, m_bytesWritten = 0;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace orvik
