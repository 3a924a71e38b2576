#include "search/ResultLineDelegate.h"

#include "search/ResultListModel.h"

#include <QListView>

namespace orvik {

ResultLineDelegate::ResultLineDelegate(const ResultListModel& model, QListView& list)
    : QStyledItemDelegate(&list), m_model(model), m_metrics(list.font()) {
    for (char16_t code = 0; code < m_ascii.size(); ++code)
        m_ascii[code] = m_metrics.horizontalAdvance(QChar(code));
    // Connected after the list, so the list lays the new rows out only later.
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { measure(first, last); });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        m_widestRow = -1;
        m_widest = 0;
    });
}

QSize ResultLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    if (m_widestRow < 0 || m_widestRow >= m_model.rowCount())
        return QStyledItemDelegate::sizeHint(option, index);
    return QStyledItemDelegate::sizeHint(option, index.siblingAtRow(m_widestRow));
}

void ResultLineDelegate::measure(int first, int last) {
    const QStringList& lines = m_model.lines();
    for (int row = first; row <= last && row < lines.size(); ++row) {
        const qreal width = advance(lines[row]);
        if (width <= m_widest) continue;
        m_widest = width;
        m_widestRow = row;
    }
}

qreal ResultLineDelegate::advance(QStringView line) {
    qreal width = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t code = line[i].unicode();
        if (code < m_ascii.size()) {
            width += m_ascii[code];
            continue;
        }
        // Any other character, a surrogate pair as one, is measured once.
        const qsizetype length = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QString character = line.mid(i, length).toString();
        auto known = m_others.constFind(character);
        if (known == m_others.cend())
            known = m_others.insert(character, m_metrics.horizontalAdvance(character));
        width += *known;
        i += length - 1;
    }
    return width;
}

} // namespace orvik
