// Message boxes on the command line: nobody is there to answer, so every
// question takes its safe answer (Cancel, No) and every text is kept for the
// one-line report on standard error.
#pragma once

#include "core/Prompt.h"

#include <QStringList>

namespace orvik::cli {

class CliPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    const QStringList& messages() const { return m_messages; }

private:
    QStringList m_messages;
};

} // namespace orvik::cli
