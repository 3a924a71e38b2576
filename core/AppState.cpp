#include "core/AppState.h"

#include "core/CatalogueFiles.h"
#include "core/Prompt.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"
#include "core/platform/Drives.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <utility>

namespace orvik {

AppState::AppState(const QString& appFolder, const QString& settingsFile, Services services)
    : m_appFolder(appFolder), m_settings(settingsFile), m_services(std::move(services)) {
    QDir().mkpath(m_appFolder);
}

AppState::~AppState() {
    // Recordsets go before their databases.
    CatalogueRecordset.reset();
    CatalogueDatabase.reset();
}

namespace {

// No other window to hand over to; ending the program quits.
class NoWindows : public WindowHandOver {
public:
    void showMainWindow() override {}
    void showSearchWindow() override {}
    void closeMainWindow() override {}
    void closeSearchWindow() override {}
    void clearSearchResults() override {}
    void endProgram() override { QCoreApplication::quit(); }
    void showDetails(AppState&, const SearchListLines&, QWidget*) override {}
};

} // namespace

WindowHandOver& AppState::windows() {
    static NoWindows none;
    return m_services.windows ? *m_services.windows : none;
}

WindowHandOver* AppState::setWindows(WindowHandOver* windows) {
    return std::exchange(m_services.windows, windows);
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
