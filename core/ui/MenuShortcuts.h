// Lets a window's menu shortcuts win over the standard keys of the control
// that has the focus (a text box takes Ctrl+A, Ctrl+C and Ctrl+E for itself),
// except where a text box's own key has something to act on: Ctrl+C copies a
// selection, Ctrl+A selects the text a box holds.
#pragma once

class QWidget;

namespace orvik {

// For the controls `window` holds now; call it once they are all made.
void giveMenuShortcutsPriority(QWidget& window);

} // namespace orvik
