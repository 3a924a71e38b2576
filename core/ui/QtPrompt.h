// Message boxes with QMessageBox: the icon, buttons and texts given, title
// "ORVIK" unless the caller names one.
#pragma once

#include "Prompt.h"

namespace orvik {

class QtPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
};

} // namespace orvik
