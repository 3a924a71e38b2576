// Answers message boxes from a queue and records every box shown.
#pragma once

#include "core/Prompt.h"

#include <QString>
#include <deque>
#include <vector>

namespace orvik::test {

struct ShownBox {
    QString text;
    Buttons buttons;
    Icon icon;
    QString title;
};

class ScriptedPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& title) override;

    // The next answers, in order. Without a scripted answer a box gets its
    // safe one: OK, Cancel or No.
    void queue(std::initializer_list<Answer> answers);
    std::vector<ShownBox> shown;
    QStringList texts() const;

private:
    std::deque<Answer> m_answers;
};

} // namespace orvik::test
