#include "app/OrvikWindows.h"

#include "app/AppIcon.h"
#include "catalogue/FormMain.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/platform/DesktopShell.h"
#include "core/platform/LinuxDrives.h"
#include "core/platform/LinuxFileSystem.h"
#include "core/ui/QtPrompt.h"
#include "core/ui/Twips.h"
#include "search/FormSearch.h"

#include <QApplication>

namespace orvik {

Services linuxServices() {
    Services services;
    services.drives = std::make_unique<LinuxDrives>();
    services.fileSystem = std::make_unique<LinuxFileSystem>();
    services.shell = std::make_unique<DesktopShell>();
    services.prompt = std::make_unique<QtPrompt>();
    return services;
}

OrvikWindows::OrvikWindows(AppState& state)
    : m_state(state), m_handOver([&windows = state.windows()] { windows.endProgram(); }) {
    // Every window of the run, dialogs and message boxes included.
    QApplication::setWindowIcon(appIcon());
    m_search = std::make_unique<FormSearch>(state);
    m_main = std::make_unique<FormMain>(state);
    m_handOver.attach(m_main.get(), m_search.get());
    m_before = state.setWindows(&m_handOver);
    if (!catalogueExists(state.catalogueFile())) {
        m_search->hide();
        m_main->show();
        m_main->activateWindow();
        return;
    }
    const double width = twips::fromPixelsX(m_search->frameGeometry().width(), m_search.get());
    const double height = twips::fromPixelsY(m_search->frameGeometry().height(), m_search.get());
    state.CentreLeft = float((twips::screenWidth(m_search.get()) - width) / 2);
    state.CentreTop = float((twips::screenHeight(m_search.get()) - height) / 2);
    m_main->hide();
    m_search->show();
    m_search->activateWindow();
}

OrvikWindows::~OrvikWindows() {
    m_state.setWindows(m_before);
}

} // namespace orvik
