// The raw database window on real catalogues: what it shows, what typing in
// it stores, how its navigator moves the shared recordset and puts it back.
#include "manage/FormViewDB.h"
#include "core/AppState.h"
#include "core/ui/Twips.h"
#include "manage/RecordNavigator.h"
#include "search/CatalogueOpening.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <array>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvik;
using namespace orvik::test;
using engine::Field;

namespace {

class RawDatabaseView : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    std::vector<engine::Row> written;
    QString first, second; // bookmarks of the first two records

    void SetUp() override {
        state.CatalogueName = "PHOTOS";
        CatalogueWriter catalogue(state);
        first =
            catalogue.addRun("CD1", "PHOTOS", "SUMMER",
                             {{"/M/", {{"A.JPG", "2020-01-02 03:04:05", "123"}, {"B.JPG", {}, {}}}},
                              directory("/M/X/", {"C.JPG"})});
        catalogue.addRun("CD2", "MUSIC", "", {directory("/S/", {"S.MP3"})});
        openCurrentCatalogue(state);
        state.CatalogueRecordset->MoveNext();
        second = state.CatalogueRecordset->Bookmark();
        written = rows();
    }
    std::vector<engine::Row> rows() { return readCatalogue(state.catalogueFile()); }
    static QLineEdit* box(FormViewDB& form, const char* name) {
        return form.findChild<QLineEdit*>(name);
    }
    static void click(FormViewDB& form, const char* move) {
        form.findChild<QToolButton*>(move)->click();
    }
    // Types over the box's text as the user does; no text clears it.
    static void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        box->insert(text);
    }
};

TEST_F(RawDatabaseView, showsTheStoredFieldsOfTheRecordItStartsOnUnderTheWindowsOwnTexts) {
    state.CentreLeft = 1440;
    state.CentreTop = 720;
    state.CurrentPosition = first;
    FormViewDB form(state);
    EXPECT_EQ(form.windowTitle(), "Orvik - Raw Database    Catalogue=PHOTOS");
    EXPECT_EQ(form.pos(), QPoint(twips::toPixelsX(1440, &form), twips::toPixelsY(720, &form)));
    const std::array<std::array<QString, 3>, 8> boxes = {
        {{"Textk", "Keywords", "SUMMER"},
         {"Text6", "File date", "2020-01-02 03:04:05"},
         {"Text5", "File length", "123"},
         {"Text4", "File name", "A.JPG"},
         {"TextP", "Path", "/M/"},
         {"TextD", "Description", "PHOTOS"},
         {"TextV", "Volume Name", "CD1"},
         {"TextDBName", "Catalogue", app.home() + "/PHOTOS.mdb"}}};
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>())
        labels << (label->buddy() ? label->buddy()->objectName() + "=" : "") + label->text();
    for (const auto& [name, label, value] : boxes) {
        EXPECT_EQ(box(form, name.toLatin1())->text(), value);
        EXPECT_TRUE(labels.contains(name + "=" + label)) << name.toStdString();
    }
    EXPECT_EQ(form.findChild<RecordNavigator*>("DataList")->caption(), "PHOTOS");
}

TEST_F(RawDatabaseView, keepsTypedKeywordsAndHeadDescriptionsInUpperCaseAndDropsAllElse) {
    state.CurrentPosition = second;
    FormViewDB form(state);
    type(box(form, "Textk"), "beach, sun");
    type(box(form, "TextD"), "no description here");
    click(form, "MoveNext");
    for (const char* name : {"Text6", "Text5", "Text4", "TextP", "TextV"})
        type(box(form, name), "typed");
    click(form, "MovePrevious");
    EXPECT_EQ(box(form, "Textk")->text(), "BEACH, SUN");
    for (const char* name : {"Text6", "Text5", "TextP", "TextD", "TextV"}) // Null there
        EXPECT_EQ(box(form, name)->text(), "") << name;

    click(form, "MoveFirst");
    type(box(form, "TextD"), "holiday");
    click(form, "MoveNext");
    click(form, "MoveFirst");
    EXPECT_EQ(box(form, "TextD")->text(), "HOLIDAY");
    type(box(form, "Textk"), "");
    type(box(form, "TextD"), ""); // a description is never cleared
    click(form, "MoveNext");

    std::vector<engine::Row> expected = written;
    expected[0][size_t(Field::CDDescription)] = "HOLIDAY";
    expected[0][size_t(Field::CDKeywords)] = std::nullopt;
    expected[1][size_t(Field::CDKeywords)] = "BEACH, SUN";
    EXPECT_EQ(rows(), expected);
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(RawDatabaseView, movesStayOnTheRecordsAndEveryClosingStoresAndPutsTheRecordsetBack) {
    state.CurrentPosition = second;
    for (const char* way : {"Done", "close box", "Escape"}) {
        FormViewDB form(state);
        form.show();
        click(form, "MoveLast");
        click(form, "MoveNext");
        EXPECT_EQ(box(form, "Text4")->text(), "S.MP3");
        click(form, "MoveFirst");
        click(form, "MovePrevious");
        EXPECT_EQ(box(form, "Text4")->text(), "A.JPG");
        type(box(form, "Textk"), way);
        if (QString(way) == "Done")
            form.findChild<QPushButton*>("CommandExit")->click();
        else if (QString(way) == "close box")
            form.close();
        else
            QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible()) << way;
        EXPECT_EQ(rows()[0][size_t(Field::CDKeywords)], QString(way).toUpper());
        EXPECT_EQ(state.CatalogueRecordset->Bookmark(), state.CurrentPosition) << way;
    }

    state.CurrentPosition = "999"; // names no record: the window starts on the first
    FormViewDB lost(state);
    EXPECT_EQ(box(lost, "Text4")->text(), "A.JPG");

    state.CatalogueName = "EMPTY";
    openCurrentCatalogue(state);
    FormViewDB empty(state);
    click(empty, "MoveNext");
    click(empty, "MoveLast");
    EXPECT_EQ(box(empty, "Text4")->text(), "");
    type(box(empty, "Textk"), "nowhere");
    empty.CommandExit_Click();
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(RawDatabaseView, aWriteTheEngineRefusesIsReportedAndChangesNothing) {
    state.CurrentPosition = first;
    const auto refusal = [this](size_t count) {
        ASSERT_EQ(app.prompt().shown.size(), count);
        EXPECT_TRUE(app.prompt().shown.back().text.startsWith("Error "));
        EXPECT_EQ(app.prompt().shown.back().icon, Icon::Exclamation);
    };
    {
        FormViewDB form(state);
        box(form, "Textk")->insert(QString(engine::TextMaxChars, 'K')); // beyond the field
        click(form, "MoveNext");
        refusal(1);
        EXPECT_EQ(box(form, "Textk")->text(), "SUMMER"); // on its record, as stored
        click(form, "MoveNext");
        EXPECT_EQ(box(form, "Text4")->text(), "B.JPG");
    }
    EXPECT_EQ(rows(), written);

    if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files: run as an ordinary user";
    const QByteArray file = QFile::encodeName(state.catalogueFile());
    const QByteArray folder = QFile::encodeName(app.home());
    ASSERT_EQ(::chmod(file.constData(), 0444), 0);
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    openCurrentCatalogue(state);
    {
        FormViewDB form(state);
        click(form, "MoveNext"); // paging writes nothing
        click(form, "MovePrevious");
        EXPECT_EQ(app.prompt().shown.size(), 1u);
        type(box(form, "TextD"), "new");
        form.CommandExit_Click();
        refusal(2);
    }
    ::chmod(folder.constData(), 0755);
    ::chmod(file.constData(), 0644);
    EXPECT_EQ(rows(), written);
}

} // namespace
