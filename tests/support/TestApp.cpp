#include "tests/support/TestApp.h"

#include "core/platform/LinuxFileSystem.h"

namespace orvik::test {

int RecordingShell::open(const QString& file, const QString&) {
    opened << file;
    return result;
}

TestApp::TestApp(std::unique_ptr<FileSystem> fileSystem) {
    qputenv("ORVIK_HOME", m_home.path().toUtf8());
    build(std::move(fileSystem));
}

TestApp::~TestApp() = default;

void TestApp::restart() {
    m_state.reset();
    build();
}

void TestApp::build(std::unique_ptr<FileSystem> fileSystem) {
    Services services;
    auto drives = std::make_unique<FakeDrives>();
    drives->types.insert(SystemDrive, DriveFixed);
    m_drives = drives.get();
    auto prompt = std::make_unique<ScriptedPrompt>();
    m_prompt = prompt.get();
    auto shell = std::make_unique<RecordingShell>();
    m_shell = shell.get();
    services.drives = std::move(drives);
    services.fileSystem = fileSystem ? std::move(fileSystem) : std::make_unique<LinuxFileSystem>();
    services.shell = std::move(shell);
    services.prompt = std::move(prompt);
    m_state = std::make_unique<AppState>(m_home.path(), m_home.path() + "/Orvik.ini",
                                         std::move(services));
    m_state->setWindows(&m_windows);
}

} // namespace orvik::test
