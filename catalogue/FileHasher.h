// Reads files whole and hashes their contents (XXH3-128, as xxh128sum does)
// on a pool of threads of its own, so the add's walk and writer go on while
// the files are read: each thread reads one file at a time from start to end
// in large reads.
#pragma once

#include "core/engine/Checksums.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orvik {

// XXH3-128 of bytes handed over piece by piece.
class ContentHash {
public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash&) = delete;
    ContentHash& operator=(const ContentHash&) = delete;
    void update(const void* data, size_t size);
    engine::Checksum digest() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The checksum of the file `path`; none when it cannot be read to its end,
// and then `failure` says why. `stop` ends the read early (none then too);
// `bytesRead` counts what was read.
std::optional<engine::Checksum> hashFile(const QString& path, QString* failure = nullptr,
                                         const std::atomic<bool>* stop = nullptr,
                                         std::atomic<std::int64_t>* bytesRead = nullptr);

class FileHasher {
public:
    struct Hashed {
        std::int64_t key = 0; // the caller's, as given to add()
        QString path;
        std::optional<engine::Checksum> checksum; // none: unreadable
        QString failure;
    };

    // At most `threads` threads, and never more than the machine's cores.
    explicit FileHasher(unsigned threads = std::thread::hardware_concurrency());
    // Stops reading and waits for the threads.
    ~FileHasher();
    FileHasher(const FileHasher&) = delete;
    FileHasher& operator=(const FileHasher&) = delete;

    void add(std::int64_t key, QString path, std::int64_t size);
    // Those hashed since the last take, after waiting at most `wait` for one.
    std::vector<Hashed> take(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    // Whether every file added has been hashed and taken.
    bool done() const;

    // For the status: bytes read of the bytes of the files added so far.
    std::int64_t bytesRead() const { return m_bytesRead; }
    std::int64_t bytesAdded() const;

private:
    struct Job {
        std::int64_t key = 0;
        QString path;
    };
    void work();

    mutable std::mutex m_mutex;
    std::condition_variable m_jobAdded, m_jobDone;
    std::deque<Job> m_jobs;
    std::vector<Hashed> m_hashed;
    std::int64_t m_pending = 0; // added and not taken
    std::int64_t m_bytesAdded = 0;
    std::atomic<std::int64_t> m_bytesRead = 0;
    std::atomic<bool> m_stop = false;
    std::vector<std::thread> m_threads;
};

// "1.2 GB of 2.0 GB read, 150.0 MB/s, 5 s left": `read` of `total` bytes
// after `elapsed`.
QString hashingStatus(std::int64_t read, std::int64_t total, std::chrono::milliseconds elapsed);

} // namespace orvik
