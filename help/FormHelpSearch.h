// The search window's help: what its buttons and menus do. The list is filled
// again whenever it receives the focus.
#pragma once

#include "help/HelpWindow.h"

namespace orvik {

class FormHelpSearch : public HelpWindow {
    Q_OBJECT
public:
    FormHelpSearch(AppState& state, QWidget* opener);

    void Form_Load(AppState& state);
    void ListHelp_GotFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace orvik
