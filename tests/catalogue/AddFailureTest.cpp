// Failures during an add, run headless: a file system that fails where a test
// says and a catalogue that starts refusing records half-way.
#include "CatalogueFixture.h"

#include "Progress.h"
#include "engine/Database.h"
#include "platform/LinuxFileSystem.h"

#include <set>

namespace orvik::test {
namespace {

// The real file system, except that the listed calls for one directory fail.
class FlakyFileSystem : public FileSystem {
public:
    QString directory;
    std::set<int> failingCalls; // 1 = the first listing of `directory`
    mutable int calls = 0;

    std::vector<DirEntry> list(const QString& path) const override {
        if (path == directory && failingCalls.count(++calls))
            throw Error(5, QStringLiteral("Input/output error: ") + path);
        return m_real.list(path);
    }

private:
    LinuxFileSystem m_real;
};

// At the first pause of the writing stage (record 20) the catalogue's
// connection starts refusing new records, as a full or failing disk would.
class RefusingProgress : public Progress {
public:
    AppState* state = nullptr;
    bool armed = false;
    void status(const QString&) override {}
    void letEventsRun() override {
        if (!armed) return;
        armed = false;
        state->CatalogueDatabase->exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON CDTable "
                                       "BEGIN SELECT RAISE(ABORT, 'record refused'); END");
    }
};

class AddFailure : public ::testing::Test {
protected:
    void SetUp() override {
        Services services;
        auto drives = std::make_unique<FakeDrives>();
        drives->types.insert(SystemDrive, DriveFixed);
        auto files = std::make_unique<FlakyFileSystem>();
        fileSystem = files.get();
        auto scripted = std::make_unique<ScriptedPrompt>();
        prompt = scripted.get();
        services.drives = std::move(drives);
        services.fileSystem = std::move(files);
        services.prompt = std::move(scripted);
        state = std::make_unique<AppState>(home.path(), home.path() + "/Orvik.ini",
                                           std::move(services));
        state->CatalogueName = "DISCS";
        state->UseFilter = "False";
        disc = discs.path();
        for (int i = 0; i < 30; ++i)
            makeFile(disc + QString("/a%1.txt").arg(i));
        makeFile(disc + "/zz/last.txt");
        progress.state = state.get();
        add = std::make_unique<VolumeAdd>(*state, progress, *prompt, busy, cancel);
    }

    VolumeAdd::Result addDisc() {
        state->CurDescription = "disc";
        return add->run(disc, {});
    }
    size_t count() { return readCatalogue(state->catalogueFile()).size(); }

    QTemporaryDir home, discs;
    QString disc;
    FlakyFileSystem* fileSystem = nullptr;
    ScriptedPrompt* prompt = nullptr;
    std::unique_ptr<AppState> state;
    RefusingProgress progress;
    bool busy = false, cancel = false;
    std::unique_ptr<VolumeAdd> add;
};

TEST_F(AddFailure, aCollectionFailureRetriesTheListingOrEndsTheProgram) {
    fileSystem->directory = disc + "/zz/";
    fileSystem->failingCalls = {1};
    prompt->queue({Answer::Ok, Answer::Retry});
    EXPECT_EQ(addDisc(), VolumeAdd::Result::Finished);
    EXPECT_EQ(prompt->texts(), QStringList({"Error 5 - Input/output error: " + disc + "/zz/",
                                            "Can't open file - check CD."}));
    EXPECT_EQ(prompt->shown[1].buttons, Buttons::RetryCancel);
    EXPECT_EQ(count(), 31u);

    fileSystem->calls = 0;
    prompt->shown.clear();
    EXPECT_EQ(addDisc(), VolumeAdd::Result::ProgramEnds);
    EXPECT_EQ(prompt->shown.size(), 2u);
    EXPECT_EQ(count(), 31u);
    EXPECT_FALSE(busy);
}

TEST_F(AddFailure, aWritingFailureRollsTheRunBackAndRetryWritesItOnce) {
    ASSERT_EQ(addDisc(), VolumeAdd::Result::Finished);
    progress.armed = true;
    prompt->queue({Answer::Ok, Answer::Cancel});
    EXPECT_EQ(addDisc(), VolumeAdd::Result::ProgramEnds);
    EXPECT_EQ(prompt->texts(), QStringList({"Error 1811 - record refused",
                                            "Can't open/edit catalogue file DISCS - Read Only?."}));
    EXPECT_EQ(prompt->shown[1].buttons, Buttons::RetryCancel);
    EXPECT_FALSE(state->CatalogueDatabase->inTransaction());
    EXPECT_EQ(count(), 31u);

    // Retry writes the whole run again through a fresh connection.
    progress.armed = true;
    prompt->queue({Answer::Ok, Answer::Retry});
    EXPECT_EQ(addDisc(), VolumeAdd::Result::Finished);
    const auto rows = readCatalogue(state->catalogueFile());
    ASSERT_EQ(rows.size(), 62u);
    int heads = 0;
    for (const auto& row : rows)
        heads += row[size_t(engine::Field::CDVolume)].has_value();
    EXPECT_EQ(heads, 2);
    EXPECT_EQ(add->FileCount, 31);
    EXPECT_EQ(prompt->shown.size(), 4u);
}

} // namespace
} // namespace orvik::test
