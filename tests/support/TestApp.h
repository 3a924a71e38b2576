// A fresh application for one test: its own folder (ORVIK_HOME) holding the
// catalogues and the settings, fake drives, the real Linux file system and a
// scripted prompt.
#pragma once

#include "app/AppWindows.h"
#include "core/AppState.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Shell.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedPrompt.h"

#include <QTemporaryDir>
#include <memory>

namespace orvik::test {

class RecordingShell : public Shell {
public:
    int result = shellresult::Success;
    QStringList opened;
    int open(const QString& file, const QString& directory) override;
};

class TestApp {
public:
    // With the real Linux file system unless the test brings its own.
    explicit TestApp(std::unique_ptr<FileSystem> fileSystem = nullptr);
    ~TestApp();

    QString home() const { return m_home.path(); }
    AppState& state() { return *m_state; }
    ScriptedPrompt& prompt() { return *m_prompt; }
    FakeDrives& drives() { return *m_drives; }
    RecordingShell& shell() { return *m_shell; }
    // A new AppState on the same folder and the real file system, as a
    // restart would make it.
    void restart();
    int endings = 0; // how often the program was ended

private:
    AppWindows m_windows{[this] { ++endings; }};
    void build(std::unique_ptr<FileSystem> fileSystem = nullptr);
    QTemporaryDir m_home;
    std::unique_ptr<AppState> m_state;
    ScriptedPrompt* m_prompt = nullptr;
    FakeDrives* m_drives = nullptr;
    RecordingShell* m_shell = nullptr;
};

} // namespace orvik::test
