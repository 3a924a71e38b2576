// When a main window's activation steps run again.
#pragma once

namespace orvik {

// Called as a window loses the focus: true when the focus went to another
// window of the program, so coming back counts as an activation. The end of
// a message box does not count (a failing step would report again for ever),
// nor does a switch to another application.
bool nextActivationCounts();

} // namespace orvik
