// The main window's help: how to add a disc and what its menus do.
#pragma once

#include "help/HelpWindow.h"

namespace orvik {

class FormHelp : public HelpWindow {
    Q_OBJECT
public:
    FormHelp(AppState& state, QWidget* opener);

    void Form_Load(AppState& state);
};

} // namespace orvik
