#include "catalogue/RunDifference.h"

#include <QHash>
#include <algorithm>

namespace orvik {

namespace {

struct FileState {
    QString path, name, date, length; // path below the top; "" where not kept
    bool matched = false;
};

QString withSlash(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

QString below(const QString& path, const QString& top) {
    return path.startsWith(top) ? path.mid(top.size()) : path;
}

bool differs(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && a != b;
}

// What moves a file keeps: its name, length and date.
QString moveKey(const FileState& file) {
    return file.name + u'\n' + file.length + u'\n' + file.date;
}

std::vector<FileState> storedFiles(const std::vector<ListedDirectory>& stored,
                                   const QString& storedTop) {
    const QString top = withSlash(storedTop);
    std::vector<FileState> files;
    for (const ListedDirectory& directory : stored) {
        const QString path = below(withSlash(directory.path), top);
        for (const ListedFile& file : directory.files)
            files.push_back({path + file.name, file.name, file.date, file.length});
    }
    return files;
}

std::vector<FileState> walkedFiles(const std::vector<TreeCollector::Directory>& walked,
                                   const QString& walkedTop, const AddOptions& options) {
    const QString top = withSlash(walkedTop).toUpper();
    std::vector<FileState> files;
    for (const TreeCollector::Directory& directory : walked) {
        const QString path = below(withSlash(directory.path).toUpper(), top);
        for (const TreeCollector::File& file : directory.files) {
            if (!passesFilter(file.entry.name, options.extensionString, options.useFilter))
                continue;
            const QString name = QString::fromUtf8(directory.storedName(file));
            files.push_back({path + name, name,
                             options.saveDates ? QString::fromLatin1(file.date) : QString(),
                             options.saveLengths ? QString::fromLatin1(directory.storedLength(file))
                                                 : QString()});
        }
    }
    return files;
}

} // namespace

QString FileDifference::line() const {
    switch (kind) {
    case Kind::Added:
        return QStringLiteral("+ ") + path;
    case Kind::Removed:
        return QStringLiteral("- ") + path;
    case Kind::Changed:
        return QStringLiteral("~ ") + path;
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
        .arg(unchanged);
}

RunDifference compareRun(const std::vector<ListedDirectory>& stored, const QString& storedTop,
                         const std::vector<TreeCollector::Directory>& walked,
                         const QString& walkedTop, const AddOptions& options) {
    std::vector<FileState> before = storedFiles(stored, storedTop);
    std::vector<FileState> now = walkedFiles(walked, walkedTop, options);
    // Names that differ only in case are stored alike: each is matched once.
    QHash<QString, std::vector<size_t>> byPath;
    for (size_t i = before.size(); i-- > 0;)
        byPath[before[i].path].push_back(i);

    RunDifference difference;
    for (FileState& file : now) {
        const auto found = byPath.find(file.path);
        if (found == byPath.end() || found->empty()) continue;
        FileState& old = before[found->back()];
        found->pop_back();
        old.matched = file.matched = true;
        if (differs(old.date, file.date) || differs(old.length, file.length)) {
            difference.files.push_back({FileDifference::Kind::Changed, file.path, {}});
            ++difference.changed;
        } else {
            ++difference.unchanged;
        }
    }

    QHash<QString, std::vector<size_t>> gone;
    for (size_t i = before.size(); i-- > 0;)
        if (!before[i].matched) gone[moveKey(before[i])].push_back(i);
    for (FileState& file : now) {
        if (file.matched) continue;
        const auto found = gone.find(moveKey(file));
        if (found == gone.end() || found->empty()) {
            difference.files.push_back({FileDifference::Kind::Added, file.path, {}});
            ++difference.added;
            continue;
        }
        FileState& old = before[found->back()];
        found->pop_back();
        old.matched = true;
        difference.files.push_back({FileDifference::Kind::Moved, file.path, old.path});
        ++difference.moved;
    }
    for (const FileState& old : before)
        if (!old.matched) {
            difference.files.push_back({FileDifference::Kind::Removed, old.path, {}});
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
