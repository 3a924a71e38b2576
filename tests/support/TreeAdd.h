// A real add of a directory tree, as the main window runs it, without the window.
#pragma once

#include "AppState.h"
#include "Progress.h"
#include "VolumeAdd.h"

namespace orvik::test {

inline VolumeAdd::Result addTree(AppState& state, const QString& top, const QString& description,
                                 const QString& keywords = {}) {
    state.CurDescription = description;
    SilentProgress progress;
    bool busy = false, cancel = false;
    return VolumeAdd(state, progress, state.prompt(), busy, cancel).run(top, keywords);
}

} // namespace orvik::test
