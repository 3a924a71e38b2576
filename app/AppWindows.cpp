#include "app/AppWindows.h"

#include "catalogue/FormMain.h"
#include "details/FormViewDetails.h"
#include "search/FormSearch.h"

#include <QCoreApplication>

namespace orvik {

AppWindows::AppWindows(std::function<void()> end) : m_end(std::move(end)) {
    if (!m_end) m_end = [] { QCoreApplication::quit(); };
}

void AppWindows::attach(FormMain* main, FormSearch* search) {
    m_main = main;
    m_search = search;
}

void AppWindows::showMainWindow() {
    if (!m_main) return;
    m_main->show();
    m_main->activateWindow();
    m_main->focusDescription();
}

void AppWindows::showSearchWindow() {
    if (!m_search) return;
    m_search->show();
    m_search->activateWindow();
}

void AppWindows::closeMainWindow() {
    if (m_main) m_main->close();
}

void AppWindows::closeSearchWindow() {
    if (m_search) m_search->close();
}

void AppWindows::clearSearchResults() {
    if (m_search) m_search->clearResults();
}

void AppWindows::endProgram() {
    m_end();
}

void AppWindows::showDetails(AppState& state, const SearchListLines& lines, QWidget* parent) {
    FormViewDetails details(state, lines, parent);
    details.exec();
}

} // namespace orvik
