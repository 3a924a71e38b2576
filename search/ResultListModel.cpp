#include "search/ResultListModel.h"

namespace orvik {

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_published);
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_published) return {};
    if (role == Qt::DisplayRole) return m_lines.at(index.row());
    if (role == BookmarkRole) return m_bookmarks.at(index.row());
    return {};
}

bool ResultListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != BookmarkRole || !index.isValid() || index.row() >= m_published) return false;
    m_bookmarks[index.row()] = value.toString();
    emit dataChanged(index, index, {BookmarkRole});
    return true;
}

void ResultListModel::clear() {
    beginResetModel();
    m_lines.clear();
    m_bookmarks.clear();
    m_published = 0;
    endResetModel();
}

void ResultListModel::append(const QString& line, const ResolvedRecord& record) {
    m_lines.append(line);
    m_bookmarks.append(record.bookmark);
}

void ResultListModel::flush() {
    if (m_published == m_lines.size()) return;
    beginInsertRows({}, int(m_published), int(m_lines.size() - 1));
    m_published = m_lines.size();
    endInsertRows();
}

} // namespace orvik
