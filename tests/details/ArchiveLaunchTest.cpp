// Launching from the details window a file catalogued inside an archive: the
// member is taken out of the archive on the disc and that copy opened.
#include "core/platform/ArchiveMember.h"
#include "details/FormViewDetails.h"
#include "search/CatalogueOpening.h"
#include "tests/support/Archives.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Widgets.h"

#include <QTemporaryDir>

using namespace orvik;
using namespace orvik::test;

namespace {

class ArchiveLaunchTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    QTemporaryDir disc;
    std::unique_ptr<CatalogueWriter> catalogue = std::make_unique<CatalogueWriter>(state);

    void SetUp() override {
        if (const QString tool = missingTool({"zip", "tar"}); !tool.isEmpty())
            GTEST_SKIP() << tool.toStdString() << " is not installed";
    }
    // Makes the archive `name` on the disc with `command`, run in a folder
    // holding `members`, each holding its own path as text.
    void makeArchive(const QString& name, const QStringList& command, const QStringList& members) {
        QTemporaryDir source;
        for (const QString& member : members) {
            QDir().mkpath(QFileInfo(source.filePath(member)).path());
            writeFile(source.filePath(member), member.toUtf8());
        }
        runTool(QStringList(command) << disc.filePath(name) << members, source.path());
    }
    // The stored path of `path` on the disc, upper case as the add stores it.
    QString stored(const QString& path) { return (disc.path() + '/' + path).toUpper(); }
    // Launches the file of the record at `bookmark` from the details window.
    void launch(const QString& bookmark) {
        openCurrentCatalogue(state);
        state.CurrentPosition = bookmark;
        FormViewDetails window(state, {0, {}});
        window.show();
        child(window, "cmdShell")->click();
    }
};

TEST_F(ArchiveLaunchTest, opensTheMemberExtractedFromTheArchiveOnTheDisc) {
    makeArchive("QUAKE.zip", {"zip", "-q"}, {"readme.txt", "maps/e1m1.bsp"});
    makeArchive("src.tar.gz", {"tar", "-czf"}, {"doc/notes.txt"});
    const QString quake = stored("QUAKE.ZIP/"), tar = stored("SRC.TAR.GZ/");
    catalogue->addRun("CD1", "GAMES", "",
                      {directory(stored(""), {"QUAKE.ZIP", "SRC.TAR.GZ"}),
                       directory(quake, {"README.TXT"}), directory(quake + "MAPS/", {"E1M1.BSP"}),
                       directory(tar + "DOC/", {"NOTES.TXT"})});
    // Records: QUAKE.ZIP, SRC.TAR.GZ, README.TXT, E1M1.BSP, NOTES.TXT.
    const QString folder = memberExtractionFolder();
    for (const auto& [bookmark, member] : {std::pair<QString, QString>{"3", "readme.txt"},
                                           {"4", "maps/e1m1.bsp"},
                                           {"5", "doc/notes.txt"}}) {
        app.shell().opened.clear();
        launch(bookmark);
        ASSERT_EQ(app.shell().opened.size(), 1) << member.toStdString();
        const QString opened = app.shell().opened[0];
        EXPECT_TRUE(opened.startsWith(folder + '/')) << opened.toStdString();
        EXPECT_EQ(QFileInfo(opened).fileName(), member.section('/', -1));
        EXPECT_EQ(fileBytes(opened), member.toUtf8());
    }

    // A sparse member whose hole runs to its end keeps its whole length.
    QTemporaryDir source;
    QFile holes(source.filePath("holes.bin"));
    ASSERT_TRUE(holes.open(QIODevice::WriteOnly) && holes.write("head") == 4 &&
                holes.resize(1 << 20));
    holes.close();
    runTool({"tar", "-cSf", disc.filePath("SPARSE.TAR"), "holes.bin"}, source.path());
    catalogue->addRun("CD2", "", "", {directory(stored("SPARSE.TAR/"), {"HOLES.BIN"})});
    app.shell().opened.clear();
    launch("6");
    ASSERT_EQ(app.shell().opened.size(), 1);
    const QByteArray extracted = fileBytes(app.shell().opened[0]);
    EXPECT_EQ(extracted.size(), 1 << 20);
    EXPECT_TRUE(extracted.startsWith("head"));
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(ArchiveLaunchTest, anArchiveOrMemberThatIsNotThereGivesTheMissingFileMessage) {
    makeArchive("A.zip", {"zip", "-q"}, {"here.txt"});
    makeArchive("SECRET.zip", {"zip", "-q", "-P", "password"}, {"locked.txt"});
    writeFile(disc.filePath("BROKEN.ZIP"), "no archive at all");
    catalogue->addRun("CD1", "", "",
                      {directory(stored(""), {"A.ZIP", "BROKEN.ZIP", "SECRET.ZIP"}),
                       directory(stored("A.ZIP/"), {"GONE.TXT", "HERE.TXT"}),
                       directory(stored("BROKEN.ZIP/"), {"X.TXT"}),
                       directory(stored("SECRET.ZIP/"), {"LOCKED.TXT"})});
    const QDir folder(memberExtractionFolder());
    const QStringList extractedBefore = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    launch("4"); // GONE.TXT, not in the archive
    launch("6"); // X.TXT, in no archive
    launch("7"); // LOCKED.TXT, encrypted
    ASSERT_TRUE(QFile::remove(disc.filePath("A.zip")));
    launch("5"); // HERE.TXT, whose archive is gone
    EXPECT_EQ(app.prompt().texts(), QStringList(4, "Please insert correct CD and try again"));
    EXPECT_TRUE(app.shell().opened.isEmpty());
    // What was written of the encrypted member went with its subfolder.
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), extractedBefore);
}

TEST_F(ArchiveLaunchTest, aMemberNamedToEscapeIsExtractedOnlyInsideThePrivateFolder) {
    QTemporaryDir source;
    writeFile(source.filePath("evil"), "escaped");
    QDir().mkpath(source.filePath("in"));
    runTool({"zip", "-q", disc.filePath("E.zip"), "../evil"}, source.filePath("in"));
    // And one named by its absolute path, gone from there once archived.
    const QString absolute = source.filePath("absolute");
    writeFile(absolute, "absolute");
    runTool({"tar", "-cPf", disc.filePath("A.tar"), absolute}, source.path());
    ASSERT_TRUE(QFile::remove(absolute));
    catalogue->addRun("CD1", "", "",
                      {directory(stored(""), {"A.TAR", "E.ZIP"}),
                       directory(stored("A.TAR") + source.path().toUpper() + '/', {"ABSOLUTE"}),
                       directory(stored("E.ZIP/../"), {"EVIL"})});
    launch("4");
    launch("3");
    const QString folder = memberExtractionFolder();
    ASSERT_EQ(app.shell().opened.size(), 2);
    for (const QString& path : app.shell().opened) {
        const QFileInfo opened(path);
        EXPECT_EQ(opened.canonicalPath().section('/', 0, -2),
                  QFileInfo(folder).canonicalFilePath());
        EXPECT_EQ(fileBytes(opened.filePath()),
                  opened.fileName() == "evil" ? "escaped" : "absolute");
    }
    EXPECT_FALSE(QFile::exists(folder + "/evil")); // where "../evil" would have landed
    EXPECT_FALSE(QFile::exists(absolute));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_FALSE(QFileInfo(folder).permissions() & others); // the folder is private
}

} // namespace
