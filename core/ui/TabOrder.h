// Sets the order in which Tab visits a window's controls.
#pragma once

#include <QWidget>
#include <initializer_list>

namespace orvik {

// Tab goes from each of `controls` to the next; controls not named keep
// their places around them.
inline void orderTabs(std::initializer_list<QWidget*> controls) {
    for (auto next = controls.begin() + 1; next < controls.end(); ++next)
        QWidget::setTabOrder(*(next - 1), *next);
}

} // namespace orvik
