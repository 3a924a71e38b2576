// Progress of orvik-cli: the status texts are kept for the final report, a
// one-line counter is drawn on standard error when it is a terminal, and
// Ctrl+C turns into the cancel flag the next time the loop lets events run.
#pragma once

#include "core/Progress.h"

#include <QElapsedTimer>
#include <functional>

namespace orvik::cli {

class TerminalProgress : public Progress {
public:
    // `counter` gives the text of the live counter line; none draws nothing.
    // `atPause` runs whenever the loop lets events run.
    TerminalProgress(bool& cancelFlag, std::function<QString()> counter,
                     std::function<void()> atPause = {});
    ~TerminalProgress() override;

    void status(const QString& text) override;
    void letEventsRun() override;
    // Printed on standard error at once, on a line of its own.
    void notice(const QString& text) override;
    const QString& lastStatus() const { return m_last; }
    // Takes the counter line off the terminal before other output.
    void clearLine();

    // Routes SIGINT to every TerminalProgress's cancel flag from now on.
    static void catchInterrupt();
    static bool interrupted();

private:
    void draw(bool force);

    bool& m_cancelFlag;
    std::function<QString()> m_counter;
    std::function<void()> m_atPause;
    bool m_terminal;
    bool m_drawn = false;
    QString m_last;
    QElapsedTimer m_sinceDraw;
    QElapsedTimer m_started;
};

} // namespace orvik::cli
