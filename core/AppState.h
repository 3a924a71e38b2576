// The shared state of the program: one instance for the whole run, handed to
// every window. Members keep the program's names.
#pragma once

#include "core/Prompt.h"
#include "core/Settings.h"
#include "core/Version.h"
#include "core/WindowHandOver.h"
#include "core/engine/Workspace.h"
#include "core/platform/Drives.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Shell.h"

#include <QString>
#include <memory>

namespace orvik {

namespace engine {
class Catalogue;
class Recordset;
} // namespace engine

inline const QString AppName = QStringLiteral("Orvik");
inline const QString AppVersion = QStringLiteral("v" ORVIK_VERSION);
// The About message of both main windows.
inline const QString AboutMessage =
    QStringLiteral("Orvik catalogues your discs so you can tell which one holds a file. "
                   "Written by the Orvik developers - Orvik ") +
    AppVersion;
inline const QString DefaultExtensionList =
    QStringLiteral(".exe.com.bat.doc.wri.txt.lst.pdf.mid.wav.vbp.ppt.bas.zip.ex_.ba_.co_.c.hlp."
                   "hl_.htm.chm.ttf.dll.avi.wri.pdf.dl_.mpg.jpg.bmp");

struct Services {
    std::unique_ptr<Drives> drives;
    std::unique_ptr<FileSystem> fileSystem;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Prompt> prompt;
    // Not owned: the app layer's, while it has windows.
    WindowHandOver* windows = nullptr;
};

// The options the windows share, as the settings keep them.
struct ProgramOptions {
    QString DefaultDrive;
    QString ExtensionString;
    QString DefaultExtensions;
    QString UseFilter = QStringLiteral("False"); // the word True or False
    bool SaveDates = false;
    bool SaveLengths = false;
    bool LookInArchives = false; // the add catalogues the members of archives
    bool SaveChecksums = false;  // the add hashes each file's content
    bool DisplayPaths = false;
    bool AutoList = false;
};

class AppState {
public:
    // `appFolder` holds the catalogue files; it is created when missing.
    AppState(const QString& appFolder, const QString& settingsFile, Services services);
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // $ORVIK_HOME, else the per-user data folder.
    static QString defaultAppFolder();

    const QString& appFolder() const { return m_appFolder; }
    Settings& settings() { return m_settings; }
    Drives& drives() { return *m_services.drives; }
    FileSystem& fileSystem() { return *m_services.fileSystem; }
    Shell& shell() { return *m_services.shell; }
    Prompt& prompt() { return *m_services.prompt; }
    engine::Workspace& workspace() { return m_workspace; }
    // The hand-over between the windows; without windows it only ends the program.
    WindowHandOver& windows();
    // Hands over through `windows` (null: none) from now on; the one before.
    WindowHandOver* setWindows(WindowHandOver* windows);

    // The current catalogue's file (folder, name, ".mdb"), matched to an
    // existing file without regard to case.
    QString catalogueFile() const;

    QString CatalogueName = AppName;
    std::shared_ptr<engine::Catalogue> CatalogueDatabase;
    std::shared_ptr<engine::Recordset> CatalogueRecordset;
    ProgramOptions Options;
    // The catalogue changed under the search list (an add, another catalogue
    // chosen): the search window lists or empties it at its next activation.
    bool CatalogueChanged = false;
    float CentreLeft = 0;
    float CentreTop = 0;
    QString CurrentPosition; // the bookmark of the record chosen in the search list

private:
    QString m_appFolder;
    Settings m_settings;
    Services m_services;
    engine::Workspace m_workspace;
};

} // namespace orvik
