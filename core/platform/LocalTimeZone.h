// The local time zone, named once at start-up.
#pragma once

namespace orvik {

// With TZ unset the C library stats /etc/localtime, to see whether it
// changed, on every mktime(), which the archive library calls twice for each
// zip member's date, under a lock all threads share. Naming that same zone in
// TZ has it read once. Call before any thread starts; the processes the
// program starts inherit it.
void settleLocalTimeZone();

} // namespace orvik
