#include "search/VolumeTreeModel.h"

#include <QApplication>
#include <QHash>
#include <QStyle>
#include <algorithm>

namespace orvik {

// A volume (a child of the root) or a directory; files are rows of their directory.
struct VolumeTreeModel::Node {
    Node* parent = nullptr;
    int row = 0; // among the parent's directories
    QString name, description, path;
    std::int64_t head = 0;
    bool read = false; // a volume's tree has been handed in
    std::vector<std::unique_ptr<Node>> directories;
    std::vector<ListedFile> files;

    Node* addDirectory(const QString& directoryName) {
        auto child = std::make_unique<Node>();
        child->parent = this;
        child->row = int(directories.size());
        child->name = directoryName;
        child->path = path + directoryName + u'/';
        directories.push_back(std::move(child));
        return directories.back().get();
    }
    int rows() const { return int(directories.size() + files.size()); }
};

VolumeTreeModel::VolumeTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>()) {}

VolumeTreeModel::~VolumeTreeModel() = default;

VolumeTreeModel::Node* VolumeTreeModel::nodeAt(const QModelIndex& index) const {
    if (!index.isValid()) return m_root.get();
    const auto* parent = static_cast<const Node*>(index.internalPointer());
    return size_t(index.row()) < parent->directories.size()
               ? parent->directories[size_t(index.row())].get()
               : nullptr;
}

const ListedFile* VolumeTreeModel::fileAt(const QModelIndex& index) const {
    if (!index.isValid()) return nullptr;
    const auto* parent = static_cast<const Node*>(index.internalPointer());
    const size_t file = size_t(index.row()) - parent->directories.size();
    return size_t(index.row()) >= parent->directories.size() && file < parent->files.size()
               ? &parent->files[file]
               : nullptr;
}

QModelIndex VolumeTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return {};
    return createIndex(row, column, nodeAt(parent));
}

QModelIndex VolumeTreeModel::parent(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    Node* parent = static_cast<Node*>(index.internalPointer());
    if (parent == m_root.get()) return {};
    return createIndex(parent->row, 0, parent->parent);
}

int VolumeTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const Node* node = nodeAt(parent);
    return node ? node->rows() : 0;
}

int VolumeTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool VolumeTreeModel::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0) return false;
    const Node* node = nodeAt(parent);
    // A volume not read yet offers to open: every volume holds a record.
    return node && (node->rows() > 0 || (isVolume(parent) && !node->read));
}

QVariant VolumeTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const ListedFile* file = fileAt(index);
    const Node* node = file ? nullptr : nodeAt(index);
    if (role == Qt::DisplayRole) {
        if (file) {
            switch (index.column()) {
            case Name:
                return file->name;
            case Date:
                return file->date;
            case Length:
                return file->length;
            }
        }
        if (!node || index.column() != Name) return {};
        // A volume reads as the search list's volume lines do.
        return isVolume(index) ? node->name + QStringLiteral("  (") + node->description + u')'
                               : node->name;
    }
    if (role == Qt::DecorationRole && index.column() == Name) {
        const QStyle::StandardPixmap icon = file              ? QStyle::SP_FileIcon
                                            : isVolume(index) ? QStyle::SP_DriveCDIcon
                                                              : QStyle::SP_DirIcon;
        return QApplication::style()->standardIcon(icon);
    }
    if (role == Qt::ToolTipRole && node && index.column() == Name && !node->path.isEmpty())
        return node->path;
    if (role == Qt::TextAlignmentRole && index.column() == Length)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant VolumeTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Name:
        return QStringLiteral("Name");
    case Date:
        return QStringLiteral("Date");
    case Length:
        return QStringLiteral("Length");
    }
    return {};
}

void VolumeTreeModel::setVolumes(const std::vector<VolumeHead>& heads) {
    auto& volumes = m_root->directories;
    auto renumberFrom = [&](size_t row) {
        for (; row < volumes.size(); ++row)
            volumes[row]->row = int(row);
    };
    // Both lists are in rowid order: the volumes gone are those of the shown
    // ones the heads pass by.
    std::vector<bool> kept(volumes.size(), false);
    for (size_t row = 0, head = 0; row < volumes.size() && head < heads.size();) {
        if (volumes[row]->head == heads[head].rowid)
            kept[row++] = true, ++head;
        else if (volumes[row]->head < heads[head].rowid)
            ++row;
        else
            ++head;
    }
    for (size_t end = volumes.size(); end > 0;) {
        if (kept[end - 1]) {
            --end;
            continue;
        }
        size_t first = end - 1;
        while (first > 0 && !kept[first - 1])
            --first;
        beginRemoveRows({}, int(first), int(end - 1));
        volumes.erase(volumes.begin() + qsizetype(first), volumes.begin() + qsizetype(end));
        renumberFrom(first);
        endRemoveRows();
        end = first;
    }
    // The shown volumes left are among the heads, in order: the others come in
    // between, a stretch at a time.
    for (size_t row = 0; row < heads.size();) {
        if (row < volumes.size() && volumes[row]->head == heads[row].rowid) {
            Node& volume = *volumes[row];
            if (volume.name != heads[row].label || volume.description != heads[row].description) {
                volume.name = heads[row].label;
                volume.description = heads[row].description;
                const QModelIndex changed = index(int(row), Name);
                emit dataChanged(changed, changed);
            }
            ++row;
            continue;
        }
        size_t end = row;
        while (end < heads.size() &&
               (row >= volumes.size() || heads[end].rowid != volumes[row]->head))
            ++end;
        beginInsertRows({}, int(row), int(end - 1));
        std::vector<std::unique_ptr<Node>> added;
        for (size_t head = row; head < end; ++head) {
            auto volume = std::make_unique<Node>();
            volume->parent = m_root.get();
            volume->name = heads[head].label;
            volume->description = heads[head].description;
            volume->head = heads[head].rowid;
            added.push_back(std::move(volume));
        }
        volumes.insert(volumes.begin() + qsizetype(row), std::make_move_iterator(added.begin()),
                       std::make_move_iterator(added.end()));
        renumberFrom(row);
        endInsertRows();
        row = end;
    }
}

void VolumeTreeModel::setVolumeTree(const QModelIndex& volumeIndex,
                                    std::vector<ListedDirectory> tree) {
    Node* volume = nodeAt(volumeIndex);
    if (!isVolume(volumeIndex) || volume->read) return;
    volume->read = true;
    if (tree.empty()) {
        emit dataChanged(volumeIndex, volumeIndex); // it has nothing to open after all
        return;
    }
    // Built aside and moved in whole: the view learns of the rows once.
    Node top;
    top.path = tree.front().path;
    QHash<QString, Node*> byPath{{top.path, &top}};
    for (ListedDirectory& listed : tree) {
        Node* directory = byPath.value(listed.path);
        if (!directory) continue;
        for (const QString& name : std::as_const(listed.subdirectories)) {
            Node* sub = directory->addDirectory(name);
            byPath.insert(sub->path, sub);
        }
        directory->files = std::move(listed.files);
    }
    beginInsertRows(volumeIndex, 0, top.rows() - 1);
    volume->path = top.path;
    volume->directories = std::move(top.directories);
    volume->files = std::move(top.files);
    for (auto& directory : volume->directories)
        directory->parent = volume;
    endInsertRows();
}

bool VolumeTreeModel::isVolume(const QModelIndex& index) const {
    return index.isValid() && index.internalPointer() == m_root.get();
}

bool VolumeTreeModel::isRead(const QModelIndex& volume) const {
    const Node* node = isVolume(volume) ? nodeAt(volume) : nullptr;
    return node && node->read;
}

std::int64_t VolumeTreeModel::volumeHead(const QModelIndex& volume) const {
    const Node* node = isVolume(volume) ? nodeAt(volume) : nullptr;
    return node ? node->head : 0;
}

QString VolumeTreeModel::bookmark(const QModelIndex& index) const {
    const ListedFile* file = fileAt(index);
    return file ? file->bookmark : QString();
}

} // namespace orvik
