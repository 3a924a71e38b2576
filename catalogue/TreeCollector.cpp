#include "catalogue/TreeCollector.h"

#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/platform/Descriptor.h"
#include "core/platform/FileNames.h"
#include "core/platform/LinuxFileSystem.h"

#include <QHash>
#include <algorithm>
#include <charconv>
#include <fcntl.h>
#include <linux/close_range.h>
#include <utility>

namespace orvik {

namespace {

QString withSlash(const QString& directory) {
    return directory.endsWith('/') ? directory : directory + '/';
}

// Appends CDFile for `name`: upper case, as UTF-8; plain ASCII straight, as
// most names are. Returns its size.
int appendStoredName(QByteArray& texts, const QString& name) {
    const qsizetype start = texts.size();
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            texts.truncate(start);
            texts += engine::storedText(name.toUpper());
            return int(texts.size() - start);
        }
        texts += char(u >= 'a' && u <= 'z' ? u - ('a' - 'A') : u);
    }
    return int(texts.size() - start);
}

// Whether CDPath holds the path as the add stores it. A name the file
// system gives has at most 1,024 bytes (FUSE's limit, 255 elsewhere), which
// upper-case to at most 1,536 characters: CDFile always holds it.
bool fitsCDPath(const QString& path) {
    // Upper case makes at most three characters of one.
    if (path.size() * 3 <= engine::TextMaxChars) return true;
    return engine::fitsField(engine::Field::CDPath, engine::storedText(path.toUpper()));
}

int appendNumber(QByteArray& texts, std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    texts.append(digits, end - digits);
    return int(end - digits);
}

} // namespace

TreeCollector::TreeCollector(const FileSystem& fileSystem, QString top, bool lookInArchives,
                             bool hashMembers)
    : m_fileSystem(fileSystem), m_lookInArchives(lookInArchives), m_hashMembers(hashMembers),
      m_thread([this, top = std::move(top)] { walk(top); }) {}

TreeCollector::~TreeCollector() {
    stop();
    m_thread.join();
}

// For a heap whose top is the least directory.
bool TreeCollector::sortsAfter(const Waiting& a, const Waiting& b) {
    const int order = a.path.compare(b.path, Qt::CaseInsensitive);
    return order != 0 ? order > 0 : a.walkOrder > b.walkOrder;
}

TreeCollector::News TreeCollector::take(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    // Not waiting at all is not a wait with no time: that still sleeps for the
    // timer's slack, tens of microseconds, and the writer asks once a directory.
    if (wait > std::chrono::milliseconds(0))
        m_changed.wait_for(lock, wait, [this] {
            return m_news.directories.size() >= HandOverEvery || m_news.failure || m_news.finished;
        });
    return std::exchange(m_news, News{});
}

void TreeCollector::retry() {
    const std::lock_guard lock(m_mutex);
    m_retry = true;
    m_changed.notify_all();
}

void TreeCollector::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_changed.notify_all();
    }
    endPipe();
}

void TreeCollector::endPipe() {
    const std::lock_guard lock(m_pipeMutex);
    m_pipeStop = true;
    m_probesReady.notify_all();
    m_walkReady.notify_all();
    m_listerReady.notify_all();
}

const QByteArray& TreeCollector::dateText(std::int64_t modified) {
    if (m_lastDate.isNull() || modified != m_lastModified) {
        m_lastModified = modified;
        m_lastDate = engine::storedText(formatFileDate(modified));
    }
    return m_lastDate;
}

bool TreeCollector::stopped() {
    return m_stop;
}

void TreeCollector::walk(QString top) {
    // Without archives to read there is nothing to read ahead of the walk.
    std::thread lister;
    std::vector<std::thread> probers;
    if (m_lookInArchives) {
        lister = std::thread([this, top] {
            const bool listed = listTree(top);
            const std::lock_guard lock(m_pipeMutex);
            m_listingDone = listed;
            m_walkReady.notify_one();
        });
        for (unsigned i = std::max(1u, std::thread::hardware_concurrency()); i > 0; --i)
            probers.emplace_back([this] { probeFiles(); });
    }

    std::vector<Waiting> waiting{{std::move(top), {}, {}}};
    bool whole = true;
    while (whole && !waiting.empty()) {
        std::pop_heap(waiting.begin(), waiting.end(), sortsAfter);
        const Waiting least = std::move(waiting.back());
        waiting.pop_back();
        whole = Add_SubDirs(least, waiting);
    }
    endPipe();
    if (lister.joinable()) lister.join();
    for (std::thread& prober : probers)
        prober.join();
    if (!whole) return;
    const std::lock_guard lock(m_mutex);
    m_news.finished = true;
    m_changed.notify_all();
}

std::shared_ptr<TreeCollector::Listed> TreeCollector::list(const Waiting& directory,
                                                           bool examineFiles) {
    std::optional<std::vector<DirEntry>> entries = listing(withSlash(directory.path), examineFiles);
    if (!entries) return nullptr;
    auto listed = std::make_shared<Listed>(Listed{directory.path, std::move(*entries), {}, {}, 0});
    listed->found.assign(listed->entries.size(), -1);
    if (m_lookInArchives) listed->archives.resize(listed->entries.size());
    int found = 0;
    for (size_t i = 0; i < listed->entries.size(); ++i) {
        const DirEntry& entry = listed->entries[i];
        const bool mayBeArchive = !entry.isDirectory && m_lookInArchives &&
                                  (!entry.examined || entry.size >= SmallestArchive);
        // A volume is one file system: mounts below the top are not walked.
        const bool walked = entry.isDirectory && !entry.otherFileSystem;
        if (mayBeArchive || walked) listed->found[i] = found++;
    }
    return listed;
}

void TreeCollector::queueSubdirectories(const Waiting& directory, const Listed& listed,
                                        std::vector<Waiting>& waiting) {
    const QString path = withSlash(directory.path);
    for (size_t i = 0; i < listed.entries.size(); ++i) {
        if (!listed.entries[i].isDirectory || listed.found[i] < 0) continue;
        std::vector<int> walkOrder = directory.walkOrder;
        walkOrder.push_back(listed.found[i]);
        waiting.push_back({path + listed.entries[i].name, std::move(walkOrder), {}});
        std::push_heap(waiting.begin(), waiting.end(), sortsAfter);
    }
}

bool TreeCollector::listTree(QString top) {
    // The walk's order restricted to the tree's own directories: the least
    // of those waiting, each queued with its place in a level-by-level walk.
    std::vector<Waiting> waiting{{std::move(top), {}, {}}};
    while (!waiting.empty()) {
        std::pop_heap(waiting.begin(), waiting.end(), sortsAfter);
        const Waiting least = std::move(waiting.back());
        waiting.pop_back();
        // The probers open every file: they examine them as they do.
        std::shared_ptr<Listed> listed = list(least, false);
        if (!listed) return false;
        queueSubdirectories(least, *listed, waiting);
        std::unique_lock lock(m_pipeMutex);
        // Far enough ahead of the walk, the lister waits rather than hold
        // the listings of a whole disc.
        if (m_listedAhead >= ReadAhead) {
            m_listerWaiting = true;
            m_listerReady.wait(lock, [this] { return m_listedAhead < ReadAhead || m_pipeStop; });
            m_listerWaiting = false;
        }
        if (m_pipeStop) return false;
        int files = 0, jobs = 0;
        for (size_t i = 0, first = 0; i < listed->entries.size(); ++i) {
            if (!listed->entries[i].isDirectory && listed->found[i] >= 0) ++files;
            const bool last = i + 1 == listed->entries.size();
            if (files == FilesAProbe || (files > 0 && last)) {
                m_probes.push_back({listed, first, i + 1});
                ++jobs;
                files = 0;
                first = i + 1;
            }
        }
        listed->probesLeft = jobs;
        m_listedAhead += listed->entries.size();
        m_listed.push_back(std::move(listed));
        // Each woken thread costs a call: only as many as there is work for.
        if (jobs > 1 && m_probersWaiting > 1) {
            m_probesReady.notify_all();
        } else if (jobs > 0 && m_probersWaiting > 0) {
            m_probesReady.notify_one();
        }
        if (m_walkWaiting && m_listed.size() == 1) m_walkReady.notify_one();
    }
    return true;
}

void TreeCollector::probeFiles() {
    // A table of descriptors of its own spares the threads each other's
    // locks as they open and close files. ThreadSanitizer, which follows
    // descriptors by number across the process, would see races in it.
#ifndef __SANITIZE_THREAD__
    ::close_range(3, ~0U, CLOSE_RANGE_UNSHARE);
#endif
    std::unique_lock lock(m_pipeMutex);
    for (;;) {
        if (m_pipeStop) return;
        if (m_probes.empty()) {
            ++m_probersWaiting;
            m_probesReady.wait(lock, [this] { return !m_probes.empty() || m_pipeStop; });
            --m_probersWaiting;
            continue;
        }
        const Probe job = std::move(m_probes.front());
        m_probes.pop_front();
        lock.unlock();
        probe(job);
        lock.lock();
    }
}

void TreeCollector::probe(const Probe& job) {
    const bool unexaminable = probeEntries(job.listed, job.first, job.last, true);
    const std::lock_guard lock(m_pipeMutex);
    if (unexaminable) job.listed->unexaminable = true;
    if (--job.listed->probesLeft == 0 && m_walkWaiting && walkHasWork()) m_walkReady.notify_one();
}

bool TreeCollector::walkHasWork() const {
    // Woken for each small listing, the walk would spend more time waking
    // than walking: it waits for a few, or for all there are.
    size_t ready = 0;
    for (const std::shared_ptr<Listed>& listed : m_listed) {
        if (listed->probesLeft > 0) return ready >= WalkAtOnce;
        ++ready;
    }
    return ready > 0;
}

bool TreeCollector::probeEntries(const std::shared_ptr<Listed>& listed, size_t first, size_t last,
                                 bool handBack) {
    // Opened by name in their directory, the files spare the look-up of
    // every directory above; by their whole paths should it not open.
    const Descriptor directory(
        ::open(encodeFileName(listed->path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    const int at = directory.fd < 0 ? AT_FDCWD : directory.fd;
    const QString prefix = directory.fd < 0 ? withSlash(listed->path) : QString();
    const auto isStopped = [this] { return stopped(); };
    bool unexaminable = false;
    for (size_t i = first; i < last; ++i) {
        DirEntry& entry = listed->entries[i];
        if (entry.isDirectory || listed->found[i] < 0) continue;
        int fd = -1;
        if (!entry.examined) {
            if (directory.fd < 0) {
                unexaminable = true;
                continue;
            }
            const OpenedEntry opened = openUnexamined(directory.fd, entry);
            unexaminable |= opened.failed;
            if (opened.fd < 0) continue;
            fd = opened.fd;
        }
        const Descriptor file(fd);
        // A large file may well be a long read: the rest go to another prober.
        if (handBack && entry.size >= LargeFile && i + 1 < last) {
            const std::lock_guard lock(m_pipeMutex);
            m_probes.push_front({listed, i + 1, last});
            ++listed->probesLeft;
            if (m_probersWaiting > 0) m_probesReady.notify_one();
            // The walk waiting for this listing reads the rest itself.
            if (m_walkWaiting && m_listed.front() == listed) m_walkReady.notify_one();
            last = i + 1;
        }
        listed->archives[i] =
            file.fd >= 0
                ? readArchiveFile(file.fd, entry.size, isStopped, m_hashMembers)
                : readArchiveAt(at, prefix + entry.name, entry.size, isStopped, m_hashMembers);
    }
    return unexaminable;
}

std::shared_ptr<TreeCollector::Listed> TreeCollector::nextListed() {
    std::unique_lock lock(m_pipeMutex);
    for (;;) {
        if (m_pipeStop) return nullptr;
        if (!m_listed.empty()) {
            const std::shared_ptr<Listed>& listed = m_listed.front();
            if (listed->probesLeft == 0) {
                std::shared_ptr<Listed> next = std::move(m_listed.front());
                m_listed.pop_front();
                m_listedAhead -= next->entries.size();
                if (m_listerWaiting && m_listedAhead < ReadAhead) m_listerReady.notify_one();
                return next;
            }
            // Its probes come first: the walk reads them rather than wait.
            if (!m_probes.empty() && m_probes.front().listed == listed) {
                const Probe job = std::move(m_probes.front());
                m_probes.pop_front();
                lock.unlock();
                probe(job);
                lock.lock();
                continue;
            }
        } else if (m_listingDone) {
            return nullptr;
        }
        m_walkWaiting = true;
        m_walkReady.wait(lock);
        m_walkWaiting = false;
    }
}

void TreeCollector::appendFile(Directory& directory, DirEntry entry) {
    QByteArray& texts = directory.texts;
    File file{std::move(entry), {}, texts.size()};
    file.date = dateText(file.entry.modified);
    file.nameSize = appendStoredName(texts, file.entry.name);
    texts += '\0';
    file.lengthSize = appendNumber(texts, file.entry.size);
    texts += '\0';
    directory.files.push_back(std::move(file));
}

bool TreeCollector::Add_SubDirs(const Waiting& directory, std::vector<Waiting>& waiting) {
    if (directory.known) return handOverKnown(directory);
    const std::shared_ptr<Listed> listed = m_lookInArchives ? nextListed() : list(directory, true);
    if (!listed || (listed->unexaminable && !relistFiles(directory, listed))) return false;
    Q_ASSERT(listed->path == directory.path);
    queueSubdirectories(directory, *listed, waiting);
    const QString path = withSlash(directory.path);
    Directory handed{directory.path, {}, {}};
    handed.files.reserve(listed->entries.size());
    handed.texts.reserve(qsizetype(listed->entries.size()) * 16);
    for (size_t i = 0; i < listed->entries.size(); ++i) {
        DirEntry& entry = listed->entries[i];
        // A file still unexamined after its probe was gone by then.
        if (entry.isDirectory || !entry.examined) continue;
        if (listed->found[i] >= 0 && listed->archives[i].isArchive) {
            std::vector<int> walkOrder = directory.walkOrder;
            walkOrder.push_back(listed->found[i]);
            lookInside(path, entry, listed->archives[i], std::move(walkOrder), waiting);
        }
        appendFile(handed, std::move(entry));
    }
    const std::lock_guard lock(m_mutex);
    if (m_stop) return false;
    m_news.latest = directory.path;
    m_news.directories.push_back(std::move(handed));
    // Woken for every directory, the add would spend more time waking than
    // writing; it looks in by itself often enough.
    if (m_news.directories.size() == HandOverEvery) m_changed.notify_all();
    return true;
}

bool TreeCollector::relistFiles(const Waiting& directory, const std::shared_ptr<Listed>& listed) {
    const std::shared_ptr<Listed> again = list(directory, true);
    if (!again) return false;
    int found = 0;
    std::vector<DirEntry> entries;
    std::vector<int> numbers;
    for (size_t i = 0; i < listed->entries.size(); ++i) {
        if (!listed->entries[i].isDirectory) continue;
        entries.push_back(std::move(listed->entries[i]));
        numbers.push_back(listed->found[i]);
        found = std::max(found, listed->found[i] + 1);
    }
    for (size_t i = 0; i < again->entries.size(); ++i) {
        if (again->entries[i].isDirectory) continue;
        entries.push_back(std::move(again->entries[i]));
        numbers.push_back(again->found[i] < 0 ? -1 : found++);
    }
    listed->entries = std::move(entries);
    listed->found = std::move(numbers);
    listed->archives.assign(listed->entries.size(), {});
    probeEntries(listed, 0, listed->entries.size(), false);
    return true;
}

bool TreeCollector::handOverKnown(const Waiting& directory) {
    const bool fits = fitsCDPath(withSlash(directory.path));
    const std::lock_guard lock(m_mutex);
    if (m_stop) return false;
    if (!fits) {
        m_news.tooLong.push_back(directory.path);
        return true;
    }
    m_news.latest = directory.path;
    m_news.directories.push_back(std::move(*directory.known));
    if (m_news.directories.size() == HandOverEvery) m_changed.notify_all();
    return true;
}

void TreeCollector::lookInside(const QString& directory, const DirEntry& entry,
                               ArchiveContents& contents, std::vector<int> walkOrder,
                               std::vector<Waiting>& waiting) {
    const QString archive = directory + entry.name;
    if (!contents.failure.isEmpty()) {
        const std::lock_guard lock(m_mutex);
        m_news.unreadableArchives.push_back({archive, contents.failure});
        if (contents.members.empty()) return;
    }
    // Each directory of the archive by its path below the archive ("" its
    // top), with those that hold only directories, known from the paths below.
    QHash<QString, std::shared_ptr<Directory>> directories;
    auto directoryOf = [&](const QString& below) {
        std::shared_ptr<Directory>& known = directories[below];
        if (known) return known.get();
        known = std::make_shared<Directory>(
            Directory{below.isEmpty() ? archive : archive + '/' + below, {}, {}, true});
        std::vector<int> order = walkOrder;
        if (!below.isEmpty()) order.push_back(int(directories.size()));
        waiting.push_back({known->path, std::move(order), known});
        std::push_heap(waiting.begin(), waiting.end(), sortsAfter);
        return known.get();
    };
    directoryOf({});
    for (ArchiveMember& member : contents.members) {
        if (member.isDirectory) {
            for (qsizetype slash = 0; (slash = member.path.indexOf('/', slash)) >= 0; ++slash)
                directoryOf(member.path.left(slash));
            directoryOf(member.path);
            continue;
        }
        const qsizetype slash = member.path.lastIndexOf('/');
        const QString below = slash < 0 ? QString() : member.path.left(slash);
        for (qsizetype part = 0; (part = below.indexOf('/', part)) >= 0; ++part)
            directoryOf(below.left(part));
        Directory& in = *directoryOf(below);
        appendFile(in, {member.path.mid(slash + 1), false, member.size, member.modified, false});
        in.files.back().checksum = member.checksum;
    }
}

std::optional<std::vector<DirEntry>> TreeCollector::listing(const QString& path,
                                                            bool examineFiles) {
    // Its records would fail the whole run: the directory is left out, and
    // with it everything below, whose paths are longer still.
    if (!fitsCDPath(path)) return leftOut(&News::tooLong, path);
    for (;;) {
        if (stopped()) return std::nullopt;
        try {
            return examineFiles ? m_fileSystem.list(path) : m_fileSystem.listUnexamined(path);
        } catch (const AccessDenied&) {
            // Asking again would not change the answer: the directory is
            // left out and the add's summary says so.
            return leftOut(&News::skipped, path);
        } catch (const PathTooLong&) {
            return leftOut(&News::tooLong, path);
        } catch (const Error& error) {
            awaitAnswer(error);
        } catch (const std::exception& error) {
            // Nothing may escape the walk's thread.
            awaitAnswer(Error(0, QString::fromLocal8Bit(error.what())));
        }
    }
}

std::vector<DirEntry> TreeCollector::leftOut(std::vector<QString> News::*list,
                                             const QString& path) {
    const std::lock_guard lock(m_mutex);
    (m_news.*list).push_back(path);
    return {};
}

void TreeCollector::awaitAnswer(const Error& failure) {
    std::unique_lock lock(m_mutex);
    m_news.failure = failure;
    m_retry = false;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_retry || m_stop; });
}

} // namespace orvik
