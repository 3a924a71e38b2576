#include "CliPrompt.h"

namespace orvik::cli {

Answer CliPrompt::ask(const QString& text, Buttons buttons, Icon, const QString&) {
    m_messages << text.simplified();
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::RetryCancel:
        break;
    }
    return Answer::Cancel;
}

} // namespace orvik::cli
