#include "bench/support/BenchApp.h"

#include <QElapsedTimer>
#include <algorithm>
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
        case Buttons::YesNoDefaultNo:
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
    m_state->Options.DisplayPaths = true;
}

double bestOfMs(const std::function<void()>& work, int repeats) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, double(clock.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace orvik::bench
