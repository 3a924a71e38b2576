#include "ResultListModel.h"

namespace orvik {

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_published);
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_published) return {};
    return m_lines.at(index.row());
}

void ResultListModel::clear() {
    beginResetModel();
    m_lines.clear();
    m_published = 0;
    endResetModel();
}

void ResultListModel::append(const QString& line, const ResolvedRecord&) {
    m_lines.append(line);
}

void ResultListModel::flush() {
    if (m_published == m_lines.size()) return;
    beginInsertRows({}, int(m_published), int(m_lines.size() - 1));
    m_published = m_lines.size();
    endInsertRows();
}

} // namespace orvik
