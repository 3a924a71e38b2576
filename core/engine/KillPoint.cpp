#include "core/engine/KillPoint.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <sqlite3.h>

namespace orvik::engine {

namespace {

std::atomic<long> writesLeft{0};

// The system's file methods with xWrite counting down. SQLite may give
// different files different methods (locking styles), so each kind gets its
// own copy that remembers the original.
struct CountingMethods {
    sqlite3_io_methods methods;
    const sqlite3_io_methods* original;
};
CountingMethods counting[4];
sqlite3_vfs* systemVfs = nullptr;
sqlite3_vfs countingVfs;

int countingWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (--writesLeft == 0) std::raise(SIGKILL);
    const auto* own = reinterpret_cast<const CountingMethods*>(file->pMethods);
    return own->original->xWrite(file, data, amount, offset);
}

int countingOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags,
                 int* outFlags) {
    const int rc = systemVfs->xOpen(systemVfs, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods) return rc;
    static std::mutex kinds;
    const std::lock_guard<std::mutex> lock(kinds);
    for (CountingMethods& own : counting) {
        if (!own.original) {
            own.original = file->pMethods;
            own.methods = *file->pMethods;
            own.methods.xWrite = countingWrite;
        }
        if (own.original == file->pMethods) {
            file->pMethods = &own.methods;
            return rc;
        }
    }
    std::abort(); // more kinds of file than SQLite has
}

} // namespace

void installKillPointFromEnvironment() {
    const char* at = std::getenv("ORVIK_TEST_KILL_AT_WRITE");
    if (!at || std::atol(at) <= 0) return;
    writesLeft = std::atol(at);
    systemVfs = sqlite3_vfs_find(nullptr);
    countingVfs = *systemVfs;
    countingVfs.zName = "orvik-kill-point";
    countingVfs.xOpen = countingOpen;
    sqlite3_vfs_register(&countingVfs, 1);
}

} // namespace orvik::engine
