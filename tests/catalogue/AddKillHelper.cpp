// Runs one add of a tree into a catalogue and prints every status text, so a
// test can kill it at a chosen moment. Arguments: catalogue folder, tree.
#include "AppState.h"
#include "Progress.h"
#include "VolumeAdd.h"
#include "engine/Database.h"
#include "platform/LinuxDrives.h"
#include "platform/LinuxFileSystem.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

// Prints every status text. At the first pause of the writing stage it
// shrinks the catalogue's page cache, so the run's pages go into the file
// long before the commit and a kill needs the journal to undo them.
class PrintingProgress : public orvik::Progress {
public:
    explicit PrintingProgress(orvik::AppState& state) : m_state(state) {}
    void status(const QString& text) override {
        std::printf("%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    }
    void letEventsRun() override {
        if (m_state.CatalogueDatabase && !m_shrunk) {
            m_state.CatalogueDatabase->exec("PRAGMA cache_size=8");
            m_shrunk = true;
        }
    }

private:
    orvik::AppState& m_state;
    bool m_shrunk = false;
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
    PrintingProgress progress(state);
    bool busy = false, cancel = false;
    orvik::VolumeAdd add(state, progress, state.prompt(), busy, cancel);
    return add.run(QString::fromLocal8Bit(argv[2]), {}) == orvik::VolumeAdd::Result::Finished ? 0
                                                                                              : 1;
}
