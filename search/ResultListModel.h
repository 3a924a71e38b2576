// The search result list as an item model: the lines the queries append, in
// order, each with its record's bookmark (BookmarkRole) and, for a line of a
// catalogue other than the current one, that catalogue's name (CatalogueRole). Appended lines are
// published in batches (flush) so a result of 100,000 lines costs a handful of
// view updates, not one per line.
#pragma once

#include "core/WindowHandOver.h"
#include "search/SearchQueries.h"

#include <QAbstractListModel>
#include <QStringList>

namespace orvik {

class ResultListModel : public QAbstractListModel, public ResultSink {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    static constexpr int BookmarkRole = Qt::UserRole;
    static constexpr int CatalogueRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Only a line's bookmark can be set.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void clear() override;
    void append(const QString& line, const ResolvedRecord& record) override;
    // Shows the lines appended since the last flush.
    void flush();
    // The lines appended from now on come from the catalogue `name`, which
    // each names at its end; "" for the current catalogue.
    void setCatalogueOfLines(const QString& name);

    // `line` among the lines of its own catalogue, with their bookmarks: what
    // the details window walks.
    SearchListLines linesOfItsCatalogue(int line) const;

    const QStringList& lines() const { return m_lines; }
    // The bookmarks of the lines shown, one per line.
    QStringList bookmarks() const { return m_bookmarks.mid(0, m_published); }

private:
    QStringList m_lines, m_bookmarks, m_catalogues;
    QString m_catalogue;
    qsizetype m_published = 0;
};

} // namespace orvik
