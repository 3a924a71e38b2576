// The hand-over between the windows: the main and search windows it is given,
// and the details window opened on a search line.
#pragma once

#include "core/WindowHandOver.h"

#include <QPointer>
#include <functional>

namespace orvik {

class FormMain;
class FormSearch;

class AppWindows : public WindowHandOver {
public:
    // `end` ends the program; QCoreApplication::quit when none is given.
    explicit AppWindows(std::function<void()> end = {});

    // The two main windows; either may be missing.
    void attach(FormMain* main, FormSearch* search);

    void showMainWindow() override;
    void showSearchWindow() override;
    void closeMainWindow() override;
    void closeSearchWindow() override;
    void clearSearchResults() override;
    void endProgram() override;
    void showDetails(AppState& state, const SearchListLines& lines, QWidget* parent) override;

private:
    QPointer<FormMain> m_main;
    QPointer<FormSearch> m_search;
    std::function<void()> m_end;
};

} // namespace orvik
