#include "core/platform/LocalTimeZone.h"

#include <cstdlib>

namespace orvik {

void settleLocalTimeZone() {
    // ":" and a file is how the C library and Qt alike name the zone that
    // file holds; a TZ already set, even empty (UTC), is the user's.
    if (!std::getenv("TZ")) ::setenv("TZ", ":/etc/localtime", 0);
}

} // namespace orvik
