// How a writer that may wait as long as it takes waits while another program
// writes the catalogue (see engine::Catalogue::beginWrite).
#pragma once

#include <QString>
#include <functional>

namespace orvik {

class Progress;

extern const QString WaitingForWriterText;

// Between the tries: says once that it waits, lets events run, and gives up
// once `cancelFlag` is set.
std::function<bool()> waitingForWriter(Progress& progress, const bool& cancelFlag);

} // namespace orvik
