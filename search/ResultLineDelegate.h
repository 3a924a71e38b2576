// Draws the search result lines, each row as wide as the widest line: the
// list gives all rows one size (cheap for 100,000 lines), so it then scrolls
// sideways to the end of every line instead of cutting one off.
#pragma once

#include <QFontMetricsF>
#include <QHash>
#include <QStyledItemDelegate>
#include <array>

class QListView;

namespace orvik {

class ResultListModel;

class ResultLineDelegate : public QStyledItemDelegate {
public:
    // Measures in `list`'s font, which stays as it is.
    ResultLineDelegate(const ResultListModel& model, QListView& list);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void measure(int first, int last);
    // The line's width as the sum of its characters' advances: a fraction of
    // the cost of laying it out, enough to find the widest.
    qreal advance(QStringView line);

    const ResultListModel& m_model;
    QFontMetricsF m_metrics;
    std::array<qreal, 128> m_ascii{};
    QHash<QString, qreal> m_others;
    int m_widestRow = -1;
    qreal m_widest = 0;
};

} // namespace orvik
