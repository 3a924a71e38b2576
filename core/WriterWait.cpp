#include "core/WriterWait.h"

#include "core/Progress.h"

#include <utility>

namespace orvik {

const QString WaitingForWriterText =
    QStringLiteral("Waiting for another program to finish writing the catalogue ...");

std::function<bool()> waitingForWriter(Progress& progress, const bool& cancelFlag) {
    return [&progress, &cancelFlag, told = false]() mutable {
        if (!std::exchange(told, true)) progress.notice(WaitingForWriterText);
        progress.letEventsRun();
        return !cancelFlag;
    };
}

} // namespace orvik
