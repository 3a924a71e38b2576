// Erasing a volume run: the records from CurrentPosition up to the next
// record that carries a volume label are deleted in one transaction, then
// the catalogue is compacted in place and opened afresh.
#pragma once

#include <functional>
#include <memory>

namespace orvik {

class AppState;
class Progress;
namespace engine {
class Catalogue;
}

// Runs the erase from CurrentPosition, which must not be empty. The deletion
// is whole or nothing; a compaction that cannot run (another program reads
// the catalogue) leaves it uncompacted, without a message. `searchDatabase`
// receives the catalogue reopened, null when it could not be reopened (then
// told). Another program writing the catalogue is waited for as
// engine::Catalogue::beginWrite waits with `waitingForWriter`. The number of
// records deleted; -1 when none could be (told to the user) or the wait was
// given up.
int eraseVolume(AppState& state, Progress& progress,
                std::shared_ptr<engine::Catalogue>& searchDatabase,
                const std::function<bool()>& waitingForWriter = {});

} // namespace orvik
