#include "ui/MenuShortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace orvik {

namespace {

// A control asks with ShortcutOverride whether it may keep a key; leaving the
// question unanswered for a menu item's key lets the item have it.
class MenuShortcutFilter : public QObject {
public:
    explicit MenuShortcutFilter(QWidget& window) : QObject(&window), m_window(window) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : m_window.findChildren<QAction*>())
            if (action->isEnabled() && action->shortcut() == pressed) return true;
        return false;
    }

private:
    QWidget& m_window;
};

} // namespace

void giveMenuShortcutsPriority(QWidget& window) {
    auto* filter = new MenuShortcutFilter(window);
    for (QWidget* control : window.findChildren<QWidget*>())
        control->installEventFilter(filter);
}

} // namespace orvik
