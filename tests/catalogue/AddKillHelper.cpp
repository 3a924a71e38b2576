// Runs one add of a tree into a catalogue and prints every status text, so a
// test can kill it at a chosen moment. Arguments: catalogue folder, tree; or
// "--create" and a folder, to create catalogues C0, C1, ... until killed.
#include "catalogue/VolumeAdd.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/platform/LinuxDrives.h"
#include "core/platform/LinuxFileSystem.h"

#include <QCoreApplication>
#include <cstdio>

using namespace orvik;

namespace {

// At the first pause of the writing stage the catalogue's page cache shrinks,
// so the run's pages go into the file long before the commit and a kill needs
// the journal to undo them.
struct PrintingProgress : Progress {
    AppState* state = nullptr;
    bool shrunk = false;
    void status(const QString& text) override {
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    }
    void letEventsRun() override {
        if (shrunk || !state->CatalogueDatabase) return;
        state->CatalogueDatabase->exec("PRAGMA cache_size=8");
        shrunk = true;
    }
};

struct RefusingPrompt : Prompt {
    Answer ask(const QString& text, Buttons, Icon, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Answer::Cancel;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    const bool creating = QByteArray(argv[1]) == "--create";
    const QString folder = QString::fromLocal8Bit(argv[creating ? 2 : 1]);
    Services services;
    services.drives = std::make_unique<LinuxDrives>();
    services.fileSystem = std::make_unique<LinuxFileSystem>();
    services.prompt = std::make_unique<RefusingPrompt>();
    AppState state(folder, folder + "/Orvik.ini", std::move(services));
    for (int i = 0; creating; ++i) {
        state.CatalogueName = QStringLiteral("C%1").arg(i);
        int status = 0;
        CreateCatalogue(state, status);
        state.CatalogueDatabase.reset();
        if (status != 0) return 1;
    }
    state.Options.UseFilter = QStringLiteral("False");
    state.Options.SaveDates = state.Options.SaveLengths = true;
    PrintingProgress progress;
    progress.state = &state;
    bool busy = false, cancel = false;
    VolumeAdd add(state, progress, state.prompt(), busy, cancel);
    add.CurDescription = QStringLiteral("killed");
    return add.run(QString::fromLocal8Bit(argv[2]), {}) == VolumeAdd::Result::Finished ? 0 : 1;
}
