// The in-process floor of a walk: every directory listed and every entry
// stat'ed once, all the add without archives asks of the system.
#pragma once

#include <string>

namespace orvik::bench {

// The files below `path`.
long statWalk(const std::string& path);

} // namespace orvik::bench
