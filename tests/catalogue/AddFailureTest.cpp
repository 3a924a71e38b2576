// Failures during an add, run headless with a file system that fails where a
// test says and a catalogue locked by another connection.
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
    SilentProgress progress;
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
    // The second add fails in its writing stage after the root's 30 records.
    fileSystem->directory = disc + "/zz/";
    fileSystem->calls = 0;
    fileSystem->failingCalls = {2};
    prompt->queue({Answer::Ok, Answer::Cancel});
    EXPECT_EQ(addDisc(), VolumeAdd::Result::ProgramEnds);
    EXPECT_EQ(prompt->texts(), QStringList({"Error 5 - Input/output error: " + disc + "/zz/",
                                            "Can't open/edit catalogue file DISCS - Read Only?."}));
    EXPECT_EQ(count(), 31u);

    fileSystem->calls = 0;
    prompt->queue({Answer::Ok, Answer::Retry});
    EXPECT_EQ(addDisc(), VolumeAdd::Result::Finished);
    const auto rows = readCatalogue(state->catalogueFile());
    ASSERT_EQ(rows.size(), 62u);
    int heads = 0;
    for (const auto& row : rows)
        heads += row[size_t(engine::Field::CDVolume)].has_value();
    EXPECT_EQ(heads, 2);
    EXPECT_EQ(add->FileCount, 31);
}

TEST_F(AddFailure, aCatalogueLockedByAnotherWriterRollsBackAndReportsBothMessages) {
    ASSERT_EQ(addDisc(), VolumeAdd::Result::Finished);
    {
        engine::Database other(state->catalogueFile());
        other.exec("BEGIN IMMEDIATE");
        prompt->queue({Answer::Ok, Answer::Cancel});
        EXPECT_EQ(addDisc(), VolumeAdd::Result::ProgramEnds);
        other.exec("ROLLBACK");
    }
    ASSERT_EQ(prompt->shown.size(), 2u);
    EXPECT_TRUE(prompt->shown[0].text.startsWith("Error 5")) << prompt->shown[0].text.toStdString();
    EXPECT_EQ(prompt->shown[1].text, "Can't open/edit catalogue file DISCS - Read Only?.");
    EXPECT_EQ(prompt->shown[1].icon, Icon::Exclamation);
    EXPECT_EQ(count(), 31u);
    EXPECT_TRUE(state->CatalogueChanged);
}

} // namespace
} // namespace orvik::test
