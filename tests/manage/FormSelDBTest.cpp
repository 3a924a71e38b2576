// The catalogue selection window on real catalogue files, opened on its own
// and from the File menus of both main windows.
#include "manage/FormSelDB.h"
#include "app/OrvikWindows.h"
#include "catalogue/FormMain.h"
#include "core/CatalogueFiles.h"
#include "core/Startup.h"
#include "core/engine/Recordset.h"
#include "core/ui/QtPrompt.h"
#include "search/FormSearch.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTest>

using namespace orvik;
using namespace orvik::test;

namespace {

class FormSelDBTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();

    void SetUp() override {
        settleStartup(state);
        CatalogueWriter(state).addRun("CD1", "PHOTOS", "", {directory("/M/", {"A.JPG"})});
        for (const char* file : {"MyCDs.mdb", "A.B.mdb"})
            ASSERT_TRUE(QFile::copy(state.catalogueFile(), app.home() + "/" + file));
    }
    static void clickFile(FormSelDB& form, const QString& file, bool twice = false) {
        auto* list = child<QListWidget>(form, "FileDB");
        const auto found = list->findItems(file, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << file.toStdString();
        const QPoint at = list->visualItemRect(found[0]).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    static void type(FormSelDB& form, const QString& name) {
        child<QLineEdit>(form, "TextNewDB")->setText(name);
    }
    static QStringList listed(FormSelDB& form) { return rows(*child<QListWidget>(form, "FileDB")); }
    bool exists(const QString& file) const { return QFile::exists(app.home() + "/" + file); }
};

TEST_F(FormSelDBTest, aPickedFileNamesItsCatalogue) {
    FormSelDB form(state);
    form.show();
    EXPECT_EQ(listed(form), QStringList({"A.B.mdb", "MyCDs.mdb", "ORVIK.mdb"}));
    EXPECT_EQ(child<QLabel>(form, "LabelCurrentDB")->text(), "ORVIK");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(form.NewName().isEmpty()) << "the list's focus picks nothing";
    clickFile(form, "A.B.mdb");
    EXPECT_EQ(child<QLineEdit>(form, "TextNewDB")->text(), "A");
    QTest::keyClick(child<QListWidget>(form, "FileDB"), Qt::Key_Down); // on to MyCDs.mdb
    EXPECT_EQ(form.NewName(), "MYCDS");
}

TEST_F(FormSelDBTest, onlyAnotherCatalogueIsDeletedAndOnlyOnYes) {
    FormSelDB form(state);
    form.show();
    clickFile(form, "MyCDs.mdb");
    app.prompt().queue({Answer::No});
    child(form, "CmdDelDB")->click();
    ASSERT_EQ(app.prompt().texts(),
              QStringList({"Are you sure you want to delete the entire CD catalogue 'MYCDS.mdb'"}));
    EXPECT_TRUE(exists("MyCDs.mdb"));
    app.prompt().queue({Answer::Yes});
    child(form, "CmdDelDB")->click();
    EXPECT_FALSE(exists("MyCDs.mdb"));
    EXPECT_EQ(listed(form), QStringList({"A.B.mdb", "ORVIK.mdb"}));
    EXPECT_TRUE(child<QLineEdit>(form, "TextNewDB")->text().isEmpty());

    // Nothing picked, or the current catalogue in any letter case: refused.
    app.prompt().shown.clear();
    for (const char* name : {"", "orvik", "Orvik"}) {
        type(form, name);
        child(form, "CmdDelDB")->click();
    }
    EXPECT_EQ(app.prompt().texts(),
              QStringList(3, "Sorry - Cannot delete current catalogue until new one selected"));
    EXPECT_EQ(readCatalogue(state.catalogueFile()).size(), 1u);
}

// A name the file system cannot hold in the folder, or one that would print as
// other lines or commands to a terminal, is refused and makes no file, by the
// window and by CreateCatalogue alike.
TEST_F(FormSelDBTest, aNameOutsideTheFolderOrWithControlCharactersIsRefusedAndMakesNoFile) {
    FormSelDB form(state);
    form.show();
    const auto catalogues = [&] {
        return QDir(app.home()).entryList(QDir::Files | QDir::Hidden).filter(".mdb");
    };
    const QStringList before = catalogues();
    for (const QString& name : {QString("../EVIL"), QString(".hidden"), QString("  "),
                                QString(201, 'X'), QString::fromLatin1("A\0B", 3),
                                QString("X\n* FAKE"), QString("\x1b[2JX"), QString("X\x7f")}) {
        app.prompt().shown.clear();
        type(form, name);
        child(form, "CmdAddDBName")->click();
        child(form, "CmdDone")->click();
        ASSERT_EQ(app.prompt().shown.size(), 2u) << name.toStdString();
        EXPECT_TRUE(app.prompt().shown[0].text.startsWith("That is not a catalogue name: "));
        EXPECT_EQ(state.CatalogueName, "ORVIK");
        state.CatalogueName = name.toUpper();
        for (int status : {1, 2}) {
            CreateCatalogue(state, status);
            EXPECT_EQ(status, 1);
        }
        state.CatalogueName = "ORVIK";
    }
    EXPECT_EQ(catalogues(), before);
    EXPECT_FALSE(exists("../EVIL.mdb"));
}

TEST_F(FormSelDBTest, enterAnswersNoToTheQuestionBeforeACatalogueIsDeleted) {
    FormSelDB form(state);
    form.show();
    clickFile(form, "MyCDs.mdb");
    child(form, "CmdDelDB")->click(); // answered No by the script
    ASSERT_EQ(app.prompt().shown.size(), 1u);
    const ShownBox question = app.prompt().shown[0];
    // The same question in a real message box, Enter pressed where the focus is.
    whenModal([](QWidget& box) {
        QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Return);
    });
    EXPECT_EQ(QtPrompt().ask(question.text, question.buttons, question.icon, question.title),
              Answer::No);
}

TEST_F(FormSelDBTest, setAsCatalogueCreatesShowsAndStoresItDoneAlsoClosesAndAnyCloseReopens) {
    auto form = std::make_unique<FormSelDB>(state);
    form->show();
    type(*form, "Games");
    child(*form, "CmdAddDBName")->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(state.settings().get("DBName", ""), "GAMES");
    EXPECT_EQ(child<QLabel>(*form, "LabelCurrentDB")->text(), "GAMES");
    EXPECT_TRUE(child<QLineEdit>(*form, "TextNewDB")->text().isEmpty());
    EXPECT_TRUE(readCatalogue(app.home() + "/GAMES.mdb").empty());
    EXPECT_FALSE(listed(*form).contains("GAMES.mdb")); // the list is not re-read

    // The catalogue just made is no longer current, so it can go.
    type(*form, "orvik");
    child(*form, "CmdAddDBName")->click();
    type(*form, "games");
    app.prompt().queue({Answer::Yes});
    child(*form, "CmdDelDB")->click();
    EXPECT_FALSE(exists("GAMES.mdb"));

    type(*form, "photos");
    child(*form, "CmdDone")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(state.settings().get("DBName", ""), "PHOTOS");
    ASSERT_TRUE(state.CatalogueRecordset);
    EXPECT_TRUE(state.CatalogueRecordset->database()->path().endsWith("/PHOTOS.mdb"));

    // Done while the current catalogue's file is missing stays open.
    closeCatalogue(state);
    form = std::make_unique<FormSelDB>(state);
    form->show();
    ASSERT_TRUE(QFile::remove(app.home() + "/PHOTOS.mdb"));
    app.prompt().shown.clear();
    child(*form, "CmdDone")->click();
    EXPECT_EQ(app.prompt().texts(), QStringList({"Sorry - you must set a catalogue name"}));
    EXPECT_TRUE(form->isVisible());
    clickFile(*form, "MyCDs.mdb", true); // a double click picks, stores and closes
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(state.settings().get("DBName", ""), "MYCDS");
    EXPECT_EQ(state.CatalogueRecordset->Fields(engine::Field::CDFile), "A.JPG");
}

TEST_F(FormSelDBTest,
       fileMenusEmptyTheSearchListWhichActivationRefillsAndSurviveARemovedCatalogue) {
    OrvikWindows windows(state);
    FormSearch& search = windows.search();
    QWidget& main = reinterpret_cast<QWidget&>(windows.main());
    for (QWidget* window : {static_cast<QWidget*>(&search), &main}) {
        const QAction* first = window->findChild<QMenuBar*>()->actions().value(0);
        EXPECT_TRUE(first && first->objectName() == "DBFile" && !first->menu());
    }
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search));
    ASSERT_EQ(search.results().rowCount(), 1);

    // Runs `inside` on the selection window once the File menu opened it.
    QStringList opened;
    auto fileMenu = [&](QWidget& window, std::function<void()> inside) {
        whenModal([&, inside](QWidget& selection) {
            opened << selection.objectName();
            EXPECT_FALSE(state.CatalogueRecordset); // closed while the window is open
            inside();
            selection.close(); // by the title bar
        });
        child<QAction>(window, "DBFile")->trigger();
    };
    fileMenu(search, [] {});
    EXPECT_EQ(search.results().rowCount(), 0);
    EXPECT_TRUE(child<QLineEdit>(search, "TextMatch")->text().isEmpty());
    search.activateWindow(); // as the window manager does when a dialog closes
    EXPECT_TRUE(QTest::qWaitFor([&] { return search.results().rowCount() == 1; }));

    // A running query or add keeps the catalogue open: no selection window.
    auto whileBusy = [&](QWidget& window, bool& busy) {
        busy = true;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened << modal->objectName();
                modal->close();
            }
        });
        child<QAction>(window, "DBFile")->trigger();
        QCoreApplication::processEvents();
        busy = false;
    };
    whileBusy(search, search.queries().Busy);
    whileBusy(main, windows.main().Busy);
    EXPECT_EQ(opened.size(), 1);

    // The catalogue removed behind the window's back: reported, and nothing breaks.
    fileMenu(main, [&] { QFile::remove(state.catalogueFile()); });
    EXPECT_EQ(opened.size(), 2);
    QStringList texts = app.prompt().texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("Error ")) << texts[0].toStdString();
    EXPECT_EQ(texts[1], "Can't open catalogue ORVIK - choose one from the File menu.");
    EXPECT_FALSE(state.CatalogueRecordset);
    child<QLineEdit>(search, "Text1")->setText("a");
    for (const char* button : {"CmdListCD", "CmdSearchFile", "CmdDetails", "CmdViewDB"})
        child(search, button)->click();
    EXPECT_EQ(search.results().rowCount(), 0);
    EXPECT_EQ(app.prompt().texts().last(), "Please select a catalogue entry first");
}

} // namespace
