#include "cli/CliPrompt.h"

namespace orvik::cli {

Answer CliPrompt::ask(const QString& text, Buttons buttons, Icon, const QString&) {
    m_messages << text.simplified();
    return safeAnswer(buttons);
}

} // namespace orvik::cli
