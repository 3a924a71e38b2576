#include "core/records/VolumeListing.h"

#include "core/engine/Catalogue.h"
#include "core/engine/VolumeIdentity.h"

#include <QDir>
#include <QHash>
#include <limits>

namespace orvik {

namespace {

struct DirectoryHead {
    std::int64_t rowid;
    QString path;
};

QString withSlash(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

// The run's directory heads in append order, through the path heads' index.
std::vector<DirectoryHead> directoryHeads(engine::Catalogue& db, const VolumeRun& run) {
    engine::Statement select(db, "SELECT rowid, CDPath FROM CDTable WHERE rowid >= ?1 AND "
                                 "rowid < ?2 AND CDPath IS NOT NULL AND (CDPath IS NOT NULL)=1 "
                                 "ORDER BY rowid");
    select.bind(1, run.head).bind(2, run.end);
    std::vector<DirectoryHead> heads;
    while (select.step())
        heads.push_back({select.integer(0), withSlash(select.text(1))});
    return heads;
}

// For a volume added without its identity: the deepest directory holding
// every directory of the run.
QString commonDirectory(const std::vector<DirectoryHead>& heads) {
    if (heads.empty()) return QStringLiteral("/");
    QString common = heads.front().path;
    for (const DirectoryHead& head : heads) {
        qsizetype same = 0;
        while (same < common.size() && same < head.path.size() && common[same] == head.path[same])
            ++same;
        common.truncate(same);
    }
    return common.left(common.lastIndexOf(u'/') + 1);
}

// The directories at and below the listed one, in the order the run first
// reaches them, each with the rowid ranges of its records.
struct Node {
    ListedDirectory listed;
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    std::vector<size_t> children;
};

void readFiles(engine::Statement& select, Node& node) {
    for (const auto& [first, end] : node.ranges) {
        select.reset();
        select.bind(1, first).bind(2, end);
        while (select.step())
            node.listed.files.push_back({select.text(1), select.text(2), select.text(3),
                                         QString::number(select.integer(0))});
    }
}

} // namespace

std::optional<std::int64_t> findVolumeHead(engine::Catalogue& db, std::int64_t rowid) {
    engine::ReadHold hold(db);
    engine::Statement record(db, "SELECT 1 FROM CDTable WHERE rowid = ?1");
    record.bind(1, rowid);
    if (!record.step()) return std::nullopt;
    engine::Statement head(db, "SELECT rowid FROM CDTable WHERE rowid <= ?1 AND CDVolume IS NOT "
                               "NULL AND (CDVolume IS NOT NULL)=1 ORDER BY rowid DESC LIMIT 1");
    head.bind(1, rowid);
    if (!head.step()) return std::nullopt;
    return head.integer(0);
}

std::optional<VolumeRun> findVolumeRun(engine::Catalogue& db, std::int64_t rowid) {
    engine::ReadHold hold(db);
    const std::optional<std::int64_t> head = findVolumeHead(db, rowid);
    if (!head) return std::nullopt;
    // The run ends before the next head.
    engine::Statement next(db, "SELECT rowid FROM CDTable WHERE rowid > ?1 AND CDVolume IS NOT "
                               "NULL AND (CDVolume IS NOT NULL)=1 ORDER BY rowid LIMIT 1");
    next.bind(1, *head);
    VolumeRun run;
    run.head = *head;
    run.end = next.step() ? next.integer(0) : std::numeric_limits<std::int64_t>::max();
    if (const auto identity = engine::readVolumeIdentity(db, run.head))
        run.top =
            QString::fromUtf8(engine::storedText(withSlash(identity->topDirectory).toUpper()));
    else
        run.top = commonDirectory(directoryHeads(db, run));
    return run;
}

QString storedDirectory(const VolumeRun& run, const QString& directory) {
    const QString cleaned = QDir::cleanPath(directory.toUpper());
    if (directory.startsWith(u'/')) return withSlash(cleaned);
    if (cleaned.isEmpty() || cleaned == u'.') return run.top;
    return run.top + cleaned + u'/';
}

std::vector<ListedDirectory> listVolumeDirectory(engine::Catalogue& db, const VolumeRun& run,
                                                 const QString& path, bool recursive) {
    if (!path.startsWith(run.top)) return {};
    engine::ReadHold hold(db); // one read: another program's write cannot come between
    const std::vector<DirectoryHead> heads = directoryHeads(db, run);
    std::vector<Node> nodes;
    QHash<QString, size_t> byPath;
    // The node of `directory`, made a child of `parent` when first reached.
    auto reach = [&](const QString& directory, std::optional<size_t> parent) {
        const auto found = byPath.constFind(directory);
        if (found != byPath.cend()) return *found;
        nodes.push_back({{directory, {}, {}}, {}, {}});
        byPath.insert(directory, nodes.size() - 1);
        if (parent) {
            const QString name = directory.chopped(1).mid(nodes[*parent].listed.path.size());
            nodes[*parent].listed.subdirectories << name;
            nodes[*parent].children.push_back(nodes.size() - 1);
        }
        return nodes.size() - 1;
    };
    for (size_t i = 0; i < heads.size(); ++i) {
        const QString& own = heads[i].path;
        if (!own.startsWith(path)) continue;
        size_t node = reach(path, std::nullopt);
        // Each directory between the listed one and the head's own is a
        // subdirectory of the one above it, with or without files.
        for (qsizetype slash = own.indexOf(u'/', path.size()); slash >= 0;
             slash = own.indexOf(u'/', slash + 1)) {
            if (!recursive && node != 0) break;
            node = reach(own.left(slash + 1), node);
        }
        // The head's records, up to the next head, are the files of its directory.
        if ((recursive || node == 0) && own == nodes[node].listed.path)
            nodes[node].ranges.emplace_back(heads[i].rowid,
                                            i + 1 < heads.size() ? heads[i + 1].rowid : run.end);
    }
    if (nodes.empty()) return {};

    engine::Statement files(db, "SELECT rowid, CDFile, CDFileDate, CDFileLen FROM CDTable "
                                "WHERE rowid >= ?1 AND rowid < ?2 ORDER BY rowid");
    std::vector<ListedDirectory> listing;
    std::vector<size_t> pending{0};
    while (!pending.empty()) {
        Node& node = nodes[pending.back()];
        pending.pop_back();
        readFiles(files, node);
        listing.push_back(std::move(node.listed));
        if (!recursive) break;
        pending.insert(pending.end(), node.children.rbegin(), node.children.rend());
    }
    return listing;
}

} // namespace orvik
