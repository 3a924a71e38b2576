// Adding a volume: collects a directory tree level by level, sorts it and
// writes one sparse volume run into the current catalogue in one transaction.
#pragma once

#include "Prompt.h"
#include "platform/FileSystem.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <functional>
#include <vector>

namespace orvik {

class AppState;
class Error;
class Progress;
class Prompt;
namespace engine {
class Recordset;
}

// The add options as they stand when a record is written.
struct AddOptions {
    bool saveDates = false;
    bool saveLengths = false;
    QString useFilter; // the word True or False
    QString extensionString;
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

    // "Please enter a description" when `description` is empty.
    bool checkDescription(const QString& description);
    // Adds the tree below `topDirectory` with the description in CurDescription.
    Result run(const QString& topDirectory, const QString& keywords);

    std::vector<QString> DirList;
    // Directories of the last run that the system refused to read; left out.
    std::vector<QString> SkippedDirs;
    int DirStart = 0;
    int DirCount = 0;
    int FileCount = 0;
    QString LastPath;

private:
    enum class Stage { Going, Retry, EndProgram, Abandoned };

    bool createCatalogueIfMissing();
    bool catalogueWritable();
    // The two boxes of a catalogue that cannot be written; Retry or Cancel.
    Answer writingFailed(const Error& error);
    Stage Add_SubDirs(int& MyStart, int& MyEnd);
    void Sort_Dirs();
    Stage List_files(int& MyEnd);
    // Writes the records of the sorted directories in one transaction; throws orvik::Error.
    void writeRun(int dirCount);
    void writeRecord(engine::Recordset& records, const DirEntry& entry, const AddOptions& options);
    Stage collectionFailed(const Error& error);
    int secondsElapsed() const;

    AppState& m_state;
    Progress& m_progress;
    Prompt& m_prompt;
    bool& Busy;
    bool& CancelFlag;
    // The files of each collected directory, kept so the tree is read only once.
    QHash<QString, std::vector<DirEntry>> m_files;
    AddControls* m_controls;
    std::function<AddOptions()> m_options;
    QString m_keywords;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace orvik
