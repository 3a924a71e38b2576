// Whether a file's first bytes could be those of an archive, disc image or
// compressed stream the archive reader opens: a look at the few signatures
// its formats and filters bid on, so a file that is none is spared the
// library's costlier detection. It may say yes to a file that is none (the
// library then decides), never no to one that is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvik {

// `block` holds the file's first `size` bytes (a whole file when it is small).
bool mayBeArchive(const char* block, std::size_t size);

} // namespace orvik
