#include "details/DirectoryFilesModel.h"

namespace orvik {

int DirectoryFilesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_files.size());
}

int DirectoryFilesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant DirectoryFilesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= m_files.size())
        return {};
    const DirectoryFile& file = m_files[size_t(index.row())];
    switch (index.column()) {
    case Name:
        return file.name;
    case Date:
        return file.date;
    default:
        return file.length;
    }
}

void DirectoryFilesModel::setFiles(std::vector<DirectoryFile> files) {
    beginResetModel();
    m_files = std::move(files);
    endResetModel();
}

} // namespace orvik
