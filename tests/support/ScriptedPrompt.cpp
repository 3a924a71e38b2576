#include "tests/support/ScriptedPrompt.h"

#include <QStringList>

namespace orvik::test {

Answer ScriptedPrompt::ask(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    shown.push_back({text, buttons, icon, title});
    if (!m_answers.empty()) {
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return safeAnswer(buttons);
}

void ScriptedPrompt::queue(std::initializer_list<Answer> answers) {
    m_answers.insert(m_answers.end(), answers);
}

QStringList ScriptedPrompt::texts() const {
    QStringList all;
    for (const ShownBox& box : shown)
        all << box.text;
    return all;
}

} // namespace orvik::test
