// A real add of a directory tree, as the main window runs it, without the window.
#pragma once

#include "catalogue/VolumeAdd.h"
#include "core/AppState.h"
#include "core/Progress.h"

namespace orvik::test {

inline VolumeAdd::Result addTree(AppState& state, const QString& top, const QString& description,
                                 const QString& keywords = {}) {
    SilentProgress progress;
    bool busy = false, cancel = false;
    VolumeAdd add(state, progress, state.prompt(), busy, cancel);
    add.CurDescription = description;
    return add.run(top, keywords);
}

} // namespace orvik::test
