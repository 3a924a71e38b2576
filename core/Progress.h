// Where a long loop reports: a status text, and a moment for the event loop
// to run so a click on Cancel is seen.
#pragma once

#include <QString>

namespace orvik {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void status(const QString& text) = 0;
    virtual void letEventsRun() = 0;
    // A status the user must see even where statuses are only kept for the
    // end (a terminal): what the operation is waiting for.
    virtual void notice(const QString& text) { status(text); }
};

// For runs nobody watches.
class SilentProgress : public Progress {
public:
    void status(const QString&) override {}
    void letEventsRun() override {}
};

} // namespace orvik
