#include "catalogue/RunDifference.h"

#include "core/Settings.h"
#include "core/engine/Catalogue.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvik {

namespace {

// A file as the catalogue stores it, its texts as UTF-8; "" where not kept.
struct FileState {
    std::string_view directory, name, date, length; // directory below the top
    bool matched = false;
    std::optional<engine::Checksum> checksum; // a stored file's
    // A walked file's.
    const TreeCollector::Directory* walkedDirectory = nullptr;
    const TreeCollector::File* walkedFile = nullptr;
};

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), size_t(bytes.size())};
}

QByteArray storedDirectory(const QString& path) {
    return engine::storedText((path.endsWith(u'/') ? path : path + u'/').toUpper());
}

std::string_view below(std::string_view path, std::string_view top) {
    return path.starts_with(top) ? path.substr(top.size()) : path;
}

bool differs(std::string_view a, std::string_view b) {
    return !a.empty() && !b.empty() && a != b;
}

QString pathOf(const FileState& file) {
    return QString::fromUtf8(file.directory.data(), qsizetype(file.directory.size())) +
           QString::fromUtf8(file.name.data(), qsizetype(file.name.size()));
}

// Whether any record of the run has a checksum: only then is each record's
// looked up.
bool keepsChecksums(engine::Catalogue& db, const VolumeRun& run) {
    engine::Statement any(db,
                          "SELECT 1 FROM CDChecksum WHERE Record >= ?1 AND Record < ?2 LIMIT 1");
    any.bind(1, run.head).bind(2, run.end);
    return any.step();
}

} // namespace

// The run's files in append order, their texts kept in blocks of their own.
class StoredRun::Files {
public:
    Files(engine::Catalogue& db, const VolumeRun& run) {
        const QByteArray top = storedDirectory(run.top);
        const bool checksums = engine::hasChecksumTable(db) && keepsChecksums(db, run);
        engine::Statement select(
            db, checksums
                    ? "SELECT CDFile, CDFileDate, CDPath, CDFileLen, Hash FROM CDTable "
                      "LEFT JOIN CDChecksum ON Record = CDTable.rowid "
                      "WHERE CDTable.rowid >= ?1 AND CDTable.rowid < ?2 ORDER BY CDTable.rowid"
                    : "SELECT CDFile, CDFileDate, CDPath, CDFileLen FROM CDTable "
                      "WHERE rowid >= ?1 AND rowid < ?2 ORDER BY rowid");
        select.bind(1, run.head).bind(2, run.end);
        std::string_view directory;
        while (select.step()) {
            if (!select.isNull(2)) {
                std::string path(select.utf8(2));
                if (!path.ends_with('/')) path += '/';
                directory = keep(below(path, view(top)));
            }
            files.push_back({directory, keep(select.utf8(0)), keep(select.utf8(1)),
                             keep(select.utf8(3)), false, std::nullopt, nullptr, nullptr});
            if (checksums && !select.isNull(4)) {
                const std::string_view hash = select.blob(4);
                if (hash.size() == sizeof(engine::Checksum)) {
                    engine::Checksum& checksum = files.back().checksum.emplace();
                    std::memcpy(checksum.data(), hash.data(), checksum.size());
                }
            }
        }
        for (size_t i = 0; i < files.size(); ++i)
            byDirectory[files[i].directory].push_back(i);
    }

    std::vector<FileState> files;
    std::unordered_map<std::string_view, std::vector<size_t>> byDirectory;

private:
    // Texts are kept in blocks that never move once written.
    std::string_view keep(std::string_view text) {
        constexpr size_t Block = 1 << 20;
        if (m_blocks.empty() || m_blocks.back().size() + text.size() > m_blocks.back().capacity()) {
            m_blocks.emplace_back();
            m_blocks.back().reserve(std::max(Block, text.size()));
        }
        std::string& block = m_blocks.back();
        const size_t at = block.size();
        block.append(text);
        return std::string_view(block).substr(at, text.size());
    }
    std::vector<std::string> m_blocks;
};

QString FileDifference::line() const {
    switch (kind) {
    case Kind::Added:
        return QStringLiteral("+ ") + path;
    case Kind::Removed:
        return QStringLiteral("- ") + path;
    case Kind::Changed:
        return QStringLiteral("~ ") + path;
    case Kind::Unreadable:
        return QStringLiteral("! ") + path;
    case Kind::Moved:
        break;
    }
    return QStringLiteral("> ") + movedFrom + QStringLiteral(" -> ") + path;
}

QString RunDifference::summary() const {
    return QStringLiteral("%1 added, %2 removed, %3 changed, %4 moved, %5 unchanged")
               .arg(added)
               .arg(removed)
               .arg(changed)
               .arg(moved)
               .arg(unchanged) +
           (unreadable ? QStringLiteral(", %1 unreadable").arg(unreadable) : QString());
}

bool StoredRun::hasChecksums() const {
    return std::any_of(m_files->files.begin(), m_files->files.end(),
                       [](const FileState& file) { return file.checksum.has_value(); });
}

StoredRun::StoredRun(engine::Catalogue& db, const VolumeRun& run) {
    engine::ReadHold hold(db);
    m_files = std::make_unique<Files>(db, run);
}

StoredRun::~StoredRun() = default;

RunDifference compareRun(engine::Catalogue& db, const VolumeRun& run,
                         const std::vector<TreeCollector::Directory>& walked,
                         const QString& walkedTop, const AddOptions& options,
                         const ContentOf& contentOf) {
    return StoredRun(db, run).compare(walked, walkedTop, options, contentOf);
}

RunDifference StoredRun::compare(const std::vector<TreeCollector::Directory>& walked,
                                 const QString& walkedTop, const AddOptions& options,
                                 const ContentOf& contentOf) {
    Files& stored = *m_files;
    const QByteArray top = storedDirectory(walkedTop);
    const bool filtering = Settings::parseBool(options.useFilter) == true;
    std::vector<QByteArray> directories; // the walked ones, below the top
    directories.reserve(walked.size());
    std::vector<FileState> now;
    for (const TreeCollector::Directory& directory : walked) {
        directories.push_back(storedDirectory(directory.path));
        const std::string_view path = below(view(directories.back()), view(top));
        for (const TreeCollector::File& file : directory.files)
            if (!filtering ||
                passesFilter(file.entry.name, options.extensionString, options.useFilter))
                now.push_back(
                    {path, view(directory.storedName(file)),
                     options.saveDates ? view(file.date) : std::string_view(),
                     options.saveLengths ? view(directory.storedLength(file)) : std::string_view(),
                     false, std::nullopt, &directory, &file});
    }

    RunDifference difference;
    // Matched by name within their directory: the files of a directory
    // usually come in the order they were stored, so the next stored file of
    // the directory is tried before its names are looked up. Names that
    // differ only in case are stored alike; each is matched once.
    using Names = std::unordered_map<std::string_view, std::vector<size_t>>;
    std::unordered_map<std::string_view, std::pair<size_t, Names>> inDirectory;
    for (FileState& file : now) {
        const auto found = stored.byDirectory.find(file.directory);
        if (found == stored.byDirectory.end()) continue;
        const std::vector<size_t>& candidates = found->second;
        auto& [next, names] = inDirectory[file.directory];
        size_t pick = candidates.size();
        if (next < candidates.size() && !stored.files[candidates[next]].matched &&
            stored.files[candidates[next]].name == file.name) {
            pick = next;
        } else {
            if (names.empty())
                for (size_t i = candidates.size(); i-- > 0;)
                    names[stored.files[candidates[i]].name].push_back(i);
            std::vector<size_t>& same = names[file.name];
            while (!same.empty() && stored.files[candidates[same.back()]].matched)
                same.pop_back();
            if (!same.empty()) pick = same.back();
        }
        if (pick == candidates.size()) continue;
        next = pick + 1;
        FileState& old = stored.files[candidates[pick]];
        old.matched = file.matched = true;
        if (differs(old.date, file.date) || differs(old.length, file.length)) {
            difference.files.push_back({FileDifference::Kind::Changed, pathOf(file), {}});
            ++difference.changed;
            continue;
        }
        if (!contentOf || !old.checksum) {
            ++difference.unchanged;
            continue;
        }
        const std::optional<engine::Checksum> content =
            contentOf(*file.walkedDirectory, *file.walkedFile);
        if (!content) {
            difference.files.push_back({FileDifference::Kind::Unreadable, pathOf(file), {}});
            ++difference.unreadable;
        } else if (*content != *old.checksum) {
            difference.files.push_back({FileDifference::Kind::Changed, pathOf(file), {}});
            ++difference.changed;
        } else {
            ++difference.unchanged;
        }
    }

    // What a move keeps: its name, length and date.
    auto moveKey = [](const FileState& file) {
        return std::string(file.name) + '\n' + std::string(file.length) + '\n' +
               std::string(file.date);
    };
    std::unordered_map<std::string, std::vector<size_t>> gone;
    for (size_t i = stored.files.size(); i-- > 0;)
        if (!stored.files[i].matched) gone[moveKey(stored.files[i])].push_back(i);
    for (const FileState& file : now) {
        if (file.matched) continue;
        const auto found = gone.find(moveKey(file));
        if (found == gone.end() || found->second.empty()) {
            difference.files.push_back({FileDifference::Kind::Added, pathOf(file), {}});
            ++difference.added;
            continue;
        }
        FileState& old = stored.files[found->second.back()];
        found->second.pop_back();
        old.matched = true;
        difference.files.push_back({FileDifference::Kind::Moved, pathOf(file), pathOf(old)});
        ++difference.moved;
    }
    for (const FileState& old : stored.files)
        if (!old.matched) {
            difference.files.push_back({FileDifference::Kind::Removed, pathOf(old), {}});
            ++difference.removed;
        }
    std::stable_sort(
        difference.files.begin(), difference.files.end(),
        [](const FileDifference& a, const FileDifference& b) { return a.path < b.path; });
    return difference;
}

bool writesAnyFile(const std::vector<TreeCollector::Directory>& walked, const AddOptions& options) {
    return std::any_of(walked.begin(), walked.end(), [&](const TreeCollector::Directory& d) {
        return std::any_of(d.files.begin(), d.files.end(), [&](const TreeCollector::File& f) {
            return passesFilter(f.entry.name, options.extensionString, options.useFilter);
        });
    });
}

} // namespace orvik
