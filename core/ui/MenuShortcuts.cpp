#include "core/ui/MenuShortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace orvik {

namespace {

// Copy with nothing selected, or select all in an empty box, would do nothing:
// the menu item has the key then.
bool textBoxKeeps(const QObject* control, const QKeyEvent& key) {
    const auto* box = qobject_cast<const QLineEdit*>(control);
    if (!box) return false;
    if (key.matches(QKeySequence::Copy)) return box->hasSelectedText();
    if (key.matches(QKeySequence::SelectAll)) return !box->text().isEmpty();
    return false;
}

// A control asks with ShortcutOverride whether it may keep a key; leaving the
// question unanswered for a menu item's key lets the item have it.
class MenuShortcutFilter : public QObject {
public:
    explicit MenuShortcutFilter(QWidget& window) : QObject(&window), m_window(window) {}

    bool eventFilter(QObject* control, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (textBoxKeeps(control, key)) return false;
        const QKeySequence pressed(key.keyCombination());
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
