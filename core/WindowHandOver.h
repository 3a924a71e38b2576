// What one window asks of the others: showing the other main window, opening
// the details of a result line, emptying the search list, ending the program.
// The app layer, which owns the windows, answers; without it (orvik-cli, a
// window made alone) there is no other window and ending the program quits.
#pragma once

#include <QStringList>

class QWidget;

namespace orvik {

class AppState;

// What the details window needs of the search window's result list.
struct SearchListLines {
    int selected = -1;     // the highlighted line, -1 for none
    QStringList bookmarks; // each line's record, one per line
};

class WindowHandOver {
public:
    virtual ~WindowHandOver() = default;
    // The search window's "&Add CD to Catalogue": the main window, its
    // description box focused.
    virtual void showMainWindow() = 0;
    // The main window's "&Find": the search window.
    virtual void showSearchWindow() = 0;
    virtual void closeMainWindow() = 0;
    virtual void closeSearchWindow() = 0;
    // Empties the search window's result list and status text.
    virtual void clearSearchResults() = 0;
    virtual void endProgram() = 0;
    // The details window on a line of the search list, modal over `parent`.
    virtual void showDetails(AppState& state, const SearchListLines& lines, QWidget* parent) = 0;
};

} // namespace orvik
