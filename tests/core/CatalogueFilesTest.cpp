#include "core/CatalogueFiles.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QFile>

using namespace orvik;
using namespace orvik::test;

TEST(CatalogueFiles, namesAreUpperCasedAndMatchedToFilesWithoutRegardToCase) {
    TestApp app;
    EXPECT_EQ(catalogueFilePath(app.home(), "mycds"), app.home() + "/MYCDS.mdb");
    QFile(app.home() + "/Games.MDB").open(QIODevice::WriteOnly);
    EXPECT_EQ(catalogueFilePath(app.home(), "GAMES"), app.home() + "/Games.MDB");
    EXPECT_EQ(catalogueNames(app.home()), QStringList({"Games"}));
}

TEST(CatalogueFiles, creatingOverAClosedCatalogueEmptiesItDeletingCreatesNothingAndAnOpenOneStays) {
    TestApp app;
    AppState& state = app.state();
    const QString journal = state.catalogueFile() + "-journal";
    int status = 2;
    CreateCatalogue(state, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(QFile::exists(state.catalogueFile()));
    for (int statusIn : {0, 1, 2}) {
        status = 1;
        CreateCatalogue(state, status);
        state.CatalogueDatabase.reset();
        CatalogueWriter(state).addRecord({}, {}, "A.TXT", {}, {}); // closed again
        QFile(journal).open(QIODevice::WriteOnly);
        status = statusIn;
        CreateCatalogue(state, status);
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(QFile::exists(journal)) << "it would be played back into the new one";
        EXPECT_EQ(state.CatalogueDatabase != nullptr, statusIn != 2) << statusIn;
        state.CatalogueDatabase.reset();
        ASSERT_EQ(QFile::exists(state.catalogueFile()), statusIn != 2) << statusIn;
        EXPECT_TRUE(statusIn == 2 || readCatalogue(state.catalogueFile()).empty());
    }
    EXPECT_TRUE(app.prompt().shown.empty());

    // An open catalogue is never deleted.
    state.CatalogueName = "MYCDS";
    status = 1;
    CreateCatalogue(state, status);
    CatalogueWriter(state).addRecord({}, {}, "A.TXT", {}, {});
    for (int statusIn : {0, 1, 2}) {
        status = statusIn;
        CreateCatalogue(state, status);
        EXPECT_EQ(status, 1);
    }
    EXPECT_EQ(app.prompt().texts(), QStringList(3, "Can't delete/create catalogue file MYCDS"));
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(app.prompt().shown[0].title, "ORVIK");
    state.CatalogueDatabase.reset();
    EXPECT_EQ(readCatalogue(state.catalogueFile()).size(), 1u);
}
