// The search result list as an item model: the lines the queries append, in
// order. Appended lines are published in batches (flush) so a result of
// 100,000 lines costs a handful of view updates, not one per line.
#pragma once

#include "SearchQueries.h"

#include <QAbstractListModel>
#include <QStringList>

namespace orvik {

class ResultListModel : public QAbstractListModel, public ResultSink {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void clear() override;
    void append(const QString& line, const ResolvedRecord& record) override;
    // Shows the lines appended since the last flush.
    void flush();

    const QStringList& lines() const { return m_lines; }

private:
    QStringList m_lines;
    qsizetype m_published = 0;
};

} // namespace orvik
