#include "CatalogueFiles.h"
#include "TestApp.h"
#include "engine/Database.h"
#include "engine/Recordset.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace orvik;
using orvik::test::TestApp;

namespace {

void addRecord(AppState& state) {
    engine::Recordset rs(state.workspace().OpenDatabase(state.catalogueFile()),
                         engine::RecordsetType::Table);
    rs.AddNew();
    rs.setField(engine::Field::CDFile, QString("A.TXT"));
    rs.Update();
}

int recordCount(AppState& state) {
    engine::Recordset rs(state.workspace().OpenDatabase(state.catalogueFile()),
                         engine::RecordsetType::Dynaset);
    int count = 0;
    for (; !rs.Eof(); rs.MoveNext())
        ++count;
    return count;
}

} // namespace

TEST(CatalogueFiles, namesAreUpperCasedAndMatchedToFilesWithoutRegardToCase) {
    TestApp app;
    EXPECT_EQ(catalogueFilePath(app.home(), "mycds"), app.home() + "/MYCDS.mdb");
    QFile(app.home() + "/Games.MDB").open(QIODevice::WriteOnly);
    EXPECT_EQ(catalogueFilePath(app.home(), "GAMES"), app.home() + "/Games.MDB");
    EXPECT_EQ(catalogueNames(app.home()), QStringList({"Games"}));
}

TEST(CatalogueFiles, deleteOnlyRemovesTheFileAndCreatesNothing) {
    TestApp app;
    AppState& state = app.state();
    int status = 2;
    CreateCatalogue(state, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(QFile::exists(state.catalogueFile()));

    status = 0;
    CreateCatalogue(state, status);
    state.CatalogueDatabase.reset();
    ASSERT_TRUE(QFile::exists(state.catalogueFile()));
    QFile(state.catalogueFile() + "-journal").open(QIODevice::WriteOnly);
    status = 2;
    CreateCatalogue(state, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(QFile::exists(state.catalogueFile()));
    EXPECT_FALSE(QFile::exists(state.catalogueFile() + "-journal"));
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST(CatalogueFiles, creatingOverAClosedCatalogueEmptiesIt) {
    TestApp app;
    AppState& state = app.state();
    for (int statusIn : {0, 1}) {
        int status = statusIn;
        CreateCatalogue(state, status);
        state.CatalogueDatabase.reset();
        addRecord(state);
        EXPECT_EQ(recordCount(state), 1);
        status = statusIn;
        CreateCatalogue(state, status);
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(state.CatalogueDatabase != nullptr);
        state.CatalogueDatabase.reset();
        EXPECT_EQ(recordCount(state), 0);
    }
}

TEST(CatalogueFiles, anOpenCatalogueIsNeverDeleted) {
    TestApp app;
    AppState& state = app.state();
    state.CatalogueName = "MYCDS";
    int status = 1;
    CreateCatalogue(state, status);
    addRecord(state);
    state.CatalogueRecordset = std::make_shared<engine::Recordset>(state.CatalogueDatabase,
                                                                   engine::RecordsetType::Dynaset);

    for (int statusIn : {0, 1, 2}) {
        status = statusIn;
        CreateCatalogue(state, status);
        EXPECT_EQ(status, 1);
    }
    ASSERT_EQ(app.prompt().shown.size(), 3u);
    EXPECT_EQ(app.prompt().shown[0].text, "Can't delete/create catalogue file MYCDS");
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(app.prompt().shown[0].title, "ORVIK");
    state.CatalogueRecordset.reset();
    state.CatalogueDatabase.reset();
    EXPECT_EQ(recordCount(state), 1);
}
