#include "BenchApp.h"

#include <cstdio>

namespace orvik::bench {

namespace {

class AnsweringPrompt : public Prompt {
public:
    Answer ask(const QString& text, Buttons buttons, Icon, const QString&) override {
        switch (buttons) {
        case Buttons::Ok:
            std::printf("box: %s\n", qPrintable(text));
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::Yes;
        case Buttons::RetryCancel:
            std::printf("box: %s\n", qPrintable(text));
            return Answer::Cancel;
        }
        return Answer::Ok;
    }
};

} // namespace

BenchApp::BenchApp() {
    Services services;
    services.prompt = std::make_unique<AnsweringPrompt>();
    m_state = std::make_unique<AppState>(m_folder.path(), m_folder.filePath("Orvik.ini"),
                                         std::move(services));
    m_state->CatalogueName = QStringLiteral("BENCH");
    m_state->DisplayPaths = true;
    m_state->EndProgram = [] {};
}

} // namespace orvik::bench
