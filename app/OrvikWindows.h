// The two main windows of a run and which of them start-up shows first.
#pragma once

#include "app/AppWindows.h"

#include <memory>

namespace orvik {

class AppState;
class FormMain;
class FormSearch;
struct Services;

// The Linux drives, file system, desktop shell and message boxes.
Services linuxServices();

class OrvikWindows {
public:
    // Gives the application Orvik's icon, creates the search window, then the
    // main window (running their load handlers), and shows the main window
    // when the current catalogue's file is missing, else the search window
    // (after setting CentreLeft and CentreTop). The windows hand over to each
    // other while this lives; ending the program stays what it was.
    explicit OrvikWindows(AppState& state);
    ~OrvikWindows();

    FormSearch& search() { return *m_search; }
    FormMain& main() { return *m_main; }

private:
    AppState& m_state;
    AppWindows m_handOver;
    WindowHandOver* m_before = nullptr;
    std::unique_ptr<FormSearch> m_search;
    std::unique_ptr<FormMain> m_main;
};

} // namespace orvik
