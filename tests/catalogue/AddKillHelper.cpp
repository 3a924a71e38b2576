// Runs one add of a tree into a catalogue and prints every status text, so a
// test can kill it at a chosen moment. Arguments: catalogue folder, tree.
#include "AppState.h"
#include "Progress.h"
#include "VolumeAdd.h"
#include "platform/LinuxDrives.h"
#include "platform/LinuxFileSystem.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

class PrintingProgress : public orvik::Progress {
public:
    void status(const QString& text) override {
        std::printf("%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    }
    void letEventsRun() override {}
};

class RefusingPrompt : public orvik::Prompt {
public:
    orvik::Answer ask(const QString& text, orvik::Buttons, orvik::Icon, const QString&) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return orvik::Answer::Cancel;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    orvik::Services services;
    services.drives = std::make_unique<orvik::LinuxDrives>();
    services.fileSystem = std::make_unique<orvik::LinuxFileSystem>();
    services.prompt = std::make_unique<RefusingPrompt>();
    orvik::AppState state(folder, folder + "/Orvik.ini", std::move(services));
    state.UseFilter = QStringLiteral("False");
    state.SaveDates = state.SaveLengths = true;
    state.CurDescription = QStringLiteral("killed");
    PrintingProgress progress;
    bool busy = false, cancel = false;
    orvik::VolumeAdd add(state, progress, state.prompt(), busy, cancel);
    return add.run(QString::fromLocal8Bit(argv[2]), {}) == orvik::VolumeAdd::Result::Finished ? 0
                                                                                              : 1;
}
