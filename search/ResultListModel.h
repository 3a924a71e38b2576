// The search result list as an item model: the lines the queries append, in
// order, each with its record's bookmark (BookmarkRole). Appended lines are
// published in batches (flush) so a result of 100,000 lines costs a handful of
// view updates, not one per line.
#pragma once

#include "search/SearchQueries.h"

#include <QAbstractListModel>
#include <QStringList>

namespace orvik {

class ResultListModel : public QAbstractListModel, public ResultSink {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    static constexpr int BookmarkRole = Qt::UserRole;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Only a line's bookmark can be set.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void clear() override;
    void append(const QString& line, const ResolvedRecord& record) override;
    // Shows the lines appended since the last flush.
    void flush();

    const QStringList& lines() const { return m_lines; }
    // The bookmarks of the lines shown, one per line.
    QStringList bookmarks() const { return m_bookmarks.mid(0, m_published); }

private:
    QStringList m_lines, m_bookmarks;
    qsizetype m_published = 0;
};

} // namespace orvik
