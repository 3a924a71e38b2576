#include "catalogue/FileHasher.h"

#include "core/platform/Descriptor.h"
#include "core/platform/FileNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <xxhash.h>

namespace orvik {

namespace {

// Large enough that a disc reads at its sequential speed.
constexpr size_t ReadSize = 1 << 20;

QString sizeText(double bytes) {
    static const char* const units[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024) return QStringLiteral("%1 bytes").arg(qint64(bytes));
    int unit = -1;
    while (bytes >= 1024 && unit < 3) {
        bytes /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(bytes, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

} // namespace

struct ContentHash::State {
    State() : xxh(XXH3_createState()) { XXH3_128bits_reset(xxh); }
    ~State() { XXH3_freeState(xxh); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    XXH3_state_t* xxh;
};

ContentHash::ContentHash() : m_state(std::make_unique<State>()) {}

ContentHash::~ContentHash() = default;

void ContentHash::update(const void* data, size_t size) {
    XXH3_128bits_update(m_state->xxh, data, size);
}

// The canonical form: the bytes in the order xxh128sum prints them.
engine::Checksum ContentHash::digest() const {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(m_state->xxh));
    engine::Checksum checksum;
    std::memcpy(checksum.data(), canonical.digest, checksum.size());
    return checksum;
}

std::optional<engine::Checksum> hashFile(const QString& path, QString* failure,
                                         const std::atomic<bool>* stop,
                                         std::atomic<std::int64_t>* bytesRead) {
    auto fail = [&](int error) -> std::optional<engine::Checksum> {
        if (failure) *failure = QString::fromLocal8Bit(std::strerror(error));
        return std::nullopt;
    };
    const Descriptor file(
        ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0) return fail(errno);
    ::posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    thread_local std::unique_ptr<char[]> buffer(new char[ReadSize]);
    ContentHash hash;
    for (;;) {
        if (stop && *stop) return fail(ECANCELED);
        const ssize_t got = ::read(file.fd, buffer.get(), ReadSize);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(errno);
        if (got == 0) break;
        hash.update(buffer.get(), size_t(got));
        if (bytesRead) *bytesRead += got;
    }
    return hash.digest();
}

FileHasher::FileHasher(unsigned threads) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1u, cores);
    for (unsigned i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { work(); });
}

FileHasher::~FileHasher() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_jobAdded.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void FileHasher::add(std::int64_t key, QString path, std::int64_t size) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back({key, std::move(path)});
        ++m_pending;
        m_bytesAdded += size;
    }
    m_jobAdded.notify_one();
}

std::vector<FileHasher::Hashed> FileHasher::take(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    // As the walk's take(): no time means no sleep on the condition variable.
    if (wait > std::chrono::milliseconds(0))
        m_jobDone.wait_for(lock, wait, [this] { return !m_hashed.empty() || m_pending == 0; });
    m_pending -= std::int64_t(m_hashed.size());
    return std::exchange(m_hashed, {});
}

bool FileHasher::done() const {
    const std::lock_guard lock(m_mutex);
    return m_pending == 0;
}

std::int64_t FileHasher::bytesAdded() const {
    const std::lock_guard lock(m_mutex);
    return m_bytesAdded;
}

void FileHasher::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_jobAdded.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_stop) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        Hashed hashed{job.key, std::move(job.path), {}, {}};
        hashed.checksum = hashFile(hashed.path, &hashed.failure, &m_stop, &m_bytesRead);
        {
            const std::lock_guard lock(m_mutex);
            if (m_stop) return;
            m_hashed.push_back(std::move(hashed));
        }
        m_jobDone.notify_all();
    }
}

QString hashingStatus(std::int64_t read, std::int64_t total, std::chrono::milliseconds elapsed) {
    const double seconds = std::max(double(elapsed.count()) / 1000, 0.001);
    const double rate = double(read) / seconds;
    QString text = QStringLiteral("%1 of %2 read, %3/s")
                       .arg(sizeText(double(read)), sizeText(double(total)), sizeText(rate));
    if (rate > 0)
        text += QStringLiteral(", %1 s left").arg(qint64(double(total - read) / rate + 0.5));
    return text;
}

} // namespace orvik
