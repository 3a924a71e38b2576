// Message boxes as the operations see them. Only windows and the Qt
// implementation show real boxes; tests answer from a script.
#pragma once

#include "core/Error.h"

#include <QString>

namespace orvik {

inline const QString AppTitle = QStringLiteral("ORVIK");

// Enter presses the first button, except in YesNoDefaultNo: a question whose
// Yes destroys data answers No to Enter.
enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo, RetryCancel };
enum class Icon { None, Exclamation, Information, Question, Critical };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// The answer that changes nothing, for a box that nobody is there to answer.
inline Answer safeAnswer(Buttons buttons) {
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

class Prompt {
public:
    virtual ~Prompt() = default;
    virtual Answer ask(const QString& text, Buttons buttons, Icon icon,
                       const QString& title = AppTitle) = 0;

    void tell(const QString& text, Icon icon = Icon::None, const QString& title = AppTitle) {
        ask(text, Buttons::Ok, icon, title);
    }
    // The two boxes of a failure report: "Error N - description", then the context.
    void reportError(const Error& error, const QString& context) {
        tell(error.message(), Icon::Exclamation);
        tell(context, Icon::Exclamation);
    }
};

} // namespace orvik
