// The add's walk of a directory tree, on a thread of its own: it lists one
// directory after another and hands each over with its files in the order of
// the sorted directory list, so the add can write a directory as soon as it
// is handed over while the walk reads on.
//
// That order is case-blind path order, in which a directory comes before
// everything below it; paths that differ only in case keep the order of a
// level-by-level walk. Listing always the least directory not yet listed
// yields exactly that order: whatever is still unknown lies below a directory
// waiting to be listed, and so sorts after it.
//
// Looking inside archives, an archive found in a listing is read through, and
// it and its member directories wait with their files known, as directories
// of their paths (GAMES/QUAKE.ZIP, GAMES/QUAKE.ZIP/MAPS): they are handed
// over in the same order. An archive inside one is a member.
//
// Then three parts share the work: a lister lists the tree's own directories
// in that order, which is the order they are handed over in, by name only;
// probers, one a core, open the files of each listing, which tells their
// lengths and dates, and read those that are archives while the lister reads
// on; and the walk takes each listing with its archives read, queues what
// they hold and hands it over. Without archives the walk lists itself.
#pragma once

#include "catalogue/ArchiveReader.h"
#include "core/Error.h"
#include "core/engine/Checksums.h"
#include "core/platform/FileSystem.h"

#include <QByteArray>
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

class TreeCollector {
public:
    // A file with the texts its record stores, made on the walk's thread.
    struct File {
        DirEntry entry;
        QByteArray date; // CDFileDate
        // Where CDFile (the name in upper case) and then CDFileLen lie in
        // the directory's texts.
        qsizetype textsAt = 0;
        int nameSize = 0, lengthSize = 0;
        // A member's, when the walk hashes members' contents.
        std::optional<engine::Checksum> checksum = std::nullopt;
    };
    struct Directory {
        QString path; // the top as given; below it without a trailing "/"
        std::vector<File> files;
        // The stored names and lengths of its files, each followed by a zero:
        // one block rather than two small ones a file.
        QByteArray texts;
        // An archive's directory: its files are members, not files to open.
        bool inArchive = false;

        // Where the file lies on the medium.
        QString pathOf(const File& file) const {
            return (path.endsWith(u'/') ? path : path + u'/') + file.entry.name;
        }

        QByteArray storedName(const File& file) const {
            return QByteArray::fromRawData(texts.constData() + file.textsAt, file.nameSize);
        }
        QByteArray storedLength(const File& file) const {
            return QByteArray::fromRawData(texts.constData() + file.textsAt + file.nameSize + 1,
                                           file.lengthSize);
        }
    };
    struct UnreadableArchive {
        QString path, reason;
    };
    // What happened since the last take.
    struct News {
        std::vector<Directory> directories; // the next ones in sorted order
        std::vector<QString> skipped;       // refused for permission: no entries
        // Paths too long to store or to name: no entries, nothing below them.
        std::vector<QString> tooLong;
        // Archives that could not be read to their end: the members read
        // before the failure are handed over.
        std::vector<UnreadableArchive> unreadableArchives;
        QString latest; // the directory listed last
        // The listing that failed: the walk waits for retry() or stop().
        std::optional<Error> failure;
        bool finished = false;
    };

    // Starts the walk below `top`; mount points below it are not entered.
    // With `hashMembers` the members of archives get the checksums of their
    // contents, read with their listing.
    TreeCollector(const FileSystem& fileSystem, QString top, bool lookInArchives = false,
                  bool hashMembers = false);
    // Stops the walk and waits for its thread.
    ~TreeCollector();
    TreeCollector(const TreeCollector&) = delete;
    TreeCollector& operator=(const TreeCollector&) = delete;

    // The news, after waiting at most `wait` for a failure, the end of the
    // walk or HandOverEvery directories.
    News take(std::chrono::milliseconds wait);
    // Lists the failed directory again.
    void retry();
    void stop();

    static constexpr size_t HandOverEvery = 16;

private:
    struct Waiting {
        QString path;
        std::vector<int> walkOrder; // its place in a level-by-level walk
        // An archive's directory, known from its read; none for one to list.
        std::shared_ptr<Directory> known;
    };
    static bool sortsAfter(const Waiting& a, const Waiting& b);

    // A directory of the tree as the lister read it, with its archives.
    struct Listed {
        QString path;
        std::vector<DirEntry> entries;
        // Each entry's place among those the walk queues (subdirectories and
        // files that may be archives); -1 for the others.
        std::vector<int> found;
        std::vector<ArchiveContents> archives; // by entry, read by a prober
        int probesLeft = 0;                    // under m_pipeMutex
        bool unexaminable = false;             // a file failed its examination
    };
    // The files that may be archives among entries [first, last) of a
    // listing: a few dozen a job, so the threads meet once for them all.
    struct Probe {
        std::shared_ptr<Listed> listed;
        size_t first, last;
    };
    static constexpr int FilesAProbe = 64;
    // A prober hands the rest of its job back before a file this large, so
    // large archives are read side by side.
    static constexpr std::int64_t LargeFile = 1 << 20;
    // The listings read that wake the walk, unless they are all there are.
    static constexpr size_t WalkAtOnce = 16;
    // The most entries the lister lists ahead of the walk.
    static constexpr size_t ReadAhead = 100000;

    void walk(QString top);
    // Lists `directory` and numbers its entries as the walk queues them,
    // leaving files unexamined unless `examineFiles`; none when stopped.
    std::shared_ptr<Listed> list(const Waiting& directory, bool examineFiles);
    void queueSubdirectories(const Waiting& directory, const Listed& listed,
                             std::vector<Waiting>& waiting);
    // Lists the tree's own directories in the walk's order ahead of the walk,
    // for the probers; false when stopped.
    bool listTree(QString top);
    // Reads the files that may be archives until the walk ends.
    void probeFiles();
    void probe(const Probe& job);
    // Examines and reads the files that may be archives among entries
    // [first, last) of `listed`, handing the rest back to the probers before
    // a large one if `handBack`; true when a file could not be examined.
    bool probeEntries(const std::shared_ptr<Listed>& listed, size_t first, size_t last,
                      bool handBack);
    // Whether the walk, waiting for the listing it takes next, has enough
    // listings read to wake for; under m_pipeMutex.
    bool walkHasWork() const;
    // The next listing, its archives read; none when stopped.
    std::shared_ptr<Listed> nextListed();
    // Ends the lister and the probers.
    void endPipe();
    // Hands a listed directory over and queues its subdirectories and
    // archives; false when stopped.
    bool Add_SubDirs(const Waiting& directory, std::vector<Waiting>& waiting);
    // Lists the files of `listed` again as without the probers, when one
    // could not be examined: with Retry, or leaving the directory out, as a
    // listing does. Its subdirectories stay those the lister went on with.
    // False when stopped.
    bool relistFiles(const Waiting& directory, const std::shared_ptr<Listed>& listed);
    // Hands a directory of an archive over; false when stopped.
    bool handOverKnown(const Waiting& directory);
    void appendFile(Directory& directory, DirEntry entry);
    // Queues the directories of the archive `entry` of `directory` holds.
    void lookInside(const QString& directory, const DirEntry& entry, ArchiveContents& contents,
                    std::vector<int> walkOrder, std::vector<Waiting>& waiting);
    // The entries of `path`; nullopt when stopped after a failure.
    std::optional<std::vector<DirEntry>> listing(const QString& path, bool examineFiles);
    // Leaves a directory out: no entries, and `path` in `list` of the news.
    std::vector<DirEntry> leftOut(std::vector<QString> News::*list, const QString& path);
    // Hands a failed listing over and waits for retry() or stop().
    void awaitAnswer(const Error& failure);
    bool stopped();
    const QByteArray& dateText(std::int64_t modified);

    const FileSystem& m_fileSystem;
    const bool m_lookInArchives, m_hashMembers;
    // The walk's own, on its thread: files of a disc often share their time
    // of change, so the text of the last one is kept.
    std::int64_t m_lastModified = 0;
    QByteArray m_lastDate;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    News m_news;
    // Set under m_mutex; read without it, as the threads ask it often.
    std::atomic<bool> m_stop = false;
    bool m_retry = false;
    // Between the lister, the probers and the walk.
    std::mutex m_pipeMutex;
    std::condition_variable m_probesReady, m_walkReady, m_listerReady;
    std::deque<std::shared_ptr<Listed>> m_listed;
    size_t m_listedAhead = 0; // entries of m_listed
    std::deque<Probe> m_probes;
    bool m_pipeStop = false; // stopped, or the walk ended
    bool m_listingDone = false;
    int m_probersWaiting = 0;
    bool m_walkWaiting = false, m_listerWaiting = false;
    // Last: the walk starts once everything above exists.
    std::thread m_thread;
};

} // namespace orvik
