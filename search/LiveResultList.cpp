#include "search/LiveResultList.h"

#include "search/ResultListModel.h"

#include <QAbstractItemView>
#include <algorithm>

namespace orvik {

namespace {
constexpr qint64 MinPauseNs = 33'000'000;
// The pause after a publish, in multiples of what the publish cost.
constexpr qint64 PausePerCost = 4;
} // namespace

LiveResultList::LiveResultList(ResultListModel& model, QAbstractItemView& view)
    : m_model(model), m_view(view) {}

void LiveResultList::showWhenDue() {
    if (m_model.rowCount() > 0 && m_sinceShown.isValid() && m_sinceShown.nsecsElapsed() < m_pauseNs)
        return;
    QElapsedTimer cost;
    cost.start();
    m_model.flush();
    // The view lays the new rows out on a timer; a paint that comes first finds
    // no layout and draws an empty list. Laying out now also stops that timer.
    m_view.doItemsLayout();
    m_pauseNs = std::max(MinPauseNs, PausePerCost * cost.nsecsElapsed());
    m_sinceShown.start();
}

} // namespace orvik
