#include "AppState.h"

#include "CatalogueFiles.h"
#include "Prompt.h"
#include "engine/Database.h"
#include "engine/Recordset.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace orvik {

AppState::AppState(const QString& appFolder, const QString& settingsFile, Services services)
    : m_appFolder(appFolder), m_settings(settingsFile), m_services(std::move(services)) {
    QDir().mkpath(m_appFolder);
    EndProgram = [] { QCoreApplication::quit(); };
}

AppState::~AppState() {
    // Recordsets go before their databases.
    CatalogueRecordset.reset();
    CatalogueDatabase.reset();
}

QString AppState::defaultAppFolder() {
    const QString home = qEnvironmentVariable("ORVIK_HOME");
    if (!home.isEmpty()) return home;
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(data).filePath(AppName);
}

QString AppState::catalogueFile() const {
    return catalogueFilePath(m_appFolder, CatalogueName);
}

} // namespace orvik
