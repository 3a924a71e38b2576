// The browse window's tree as an item model: every volume of the catalogue
// (label and description), below a volume its directories as their paths
// nest, and below each directory its subdirectories, then its files with
// date and length. A volume holds nothing until its tree is handed in, so the
// model opens with the heads alone; a file is a row of its directory, not an
// object of its own.
#pragma once

#include "core/records/VolumeBrowse.h"

#include <QAbstractItemModel>
#include <memory>
#include <vector>

namespace orvik {

class VolumeTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { Name, Date, Length, ColumnCount };
    explicit VolumeTreeModel(QObject* parent = nullptr);
    ~VolumeTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The catalogue's volumes, in rowid order. A volume shown before (the same
    // head's rowid) keeps what was read below it and takes its label and
    // description anew; the others go or come.
    void setVolumes(const std::vector<VolumeHead>& heads);
    // The tree read for the volume at `volume` (readVolumeTree's order: its
    // top first, each directory before its subdirectories).
    void setVolumeTree(const QModelIndex& volume, std::vector<ListedDirectory> tree);

    bool isVolume(const QModelIndex& index) const;
    // Whether the volume at `volume` has its tree.
    bool isRead(const QModelIndex& volume) const;
    std::int64_t volumeHead(const QModelIndex& volume) const;
    // The record of the file at `index`; empty for a volume or a directory.
    QString bookmark(const QModelIndex& index) const;

private:
    struct Node;
    Node* nodeAt(const QModelIndex& index) const;
    const ListedFile* fileAt(const QModelIndex& index) const;

    std::unique_ptr<Node> m_root;
};

} // namespace orvik
