#include "search/ResultListModel.h"

namespace orvik {

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_published);
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_published) return {};
    if (role == Qt::DisplayRole) return m_lines.at(index.row());
    if (role == BookmarkRole) return m_bookmarks.at(index.row());
    if (role == CatalogueRole) return m_catalogues.at(index.row());
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
    m_catalogues.clear();
    m_catalogue.clear();
    m_published = 0;
    endResetModel();
}

void ResultListModel::append(const QString& line, const ResolvedRecord& record) {
    m_lines.append(m_catalogue.isEmpty()
                       ? line
                       : line + QStringLiteral("  [") + m_catalogue + QStringLiteral("]"));
    m_bookmarks.append(record.bookmark);
    m_catalogues.append(m_catalogue);
}

void ResultListModel::setCatalogueOfLines(const QString& name) {
    m_catalogue = name;
}

SearchListLines ResultListModel::linesOfItsCatalogue(int line) const {
    SearchListLines own;
    if (line < 0 || line >= m_published) return {-1, bookmarks()};
    for (qsizetype i = 0; i < m_published; ++i) {
        if (m_catalogues.at(i) != m_catalogues.at(line)) continue;
        if (i == line) own.selected = int(own.bookmarks.size());
        own.bookmarks.append(m_bookmarks.at(i));
    }
    return own;
}

void ResultListModel::flush() {
    if (m_published == m_lines.size()) return;
    beginInsertRows({}, int(m_published), int(m_lines.size() - 1));
    m_published = m_lines.size();
    endInsertRows();
}

} // namespace orvik
