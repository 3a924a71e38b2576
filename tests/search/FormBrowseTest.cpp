// The browse window on catalogues made by real adds of real trees: the
// volumes, the directories and files below them, the way to the details
// window, and keeping up with the catalogue.
#include "search/FormBrowse.h"
#include "search/FormSearch.h"
#include "search/VolumeErase.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TreeAdd.h"
#include "tests/support/Widgets.h"

#include <QAction>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace orvik;
using namespace orvik::test;

namespace {

constexpr qint64 Modified = 1000000000;

class FormBrowseTest : public ::testing::Test {
protected:
    TestApp app;
    AppState& state = app.state();
    QTemporaryDir discs;

    // CD1: A.JPG at its top, ONLY/DEEP/C.TXT below a directory that holds no
    // file of its own, SUB/D.TXT; CD2: R.MP3.
    void SetUp() override {
        state.Options.SaveDates = state.Options.SaveLengths = true;
        for (const char* name : {"cd1/A.jpg", "cd1/ONLY/DEEP/C.txt", "cd1/SUB/D.txt", "cd2/R.mp3"})
            makeFile(discs.path() + '/' + name, 7, Modified);
        add("cd1", "CD1", "photos");
        add("cd2", "CD2", "music");
    }
    void add(const QString& disc, const QString& label, const QString& description) {
        const QString top = discs.path() + '/' + disc;
        app.drives().types.insert(top, DriveCdRom);
        app.drives().labels.insert(top, label);
        ASSERT_EQ(addTree(state, top, description), VolumeAdd::Result::Finished);
    }
    static QTreeView& tree(FormBrowse& form) { return *child<QTreeView>(form, "TreeVolumes"); }
    // The rows below `parent`, each as its columns joined by "|".
    static QStringList shown(FormBrowse& form, const QModelIndex& parent = {}) {
        const QAbstractItemModel& model = form.volumes();
        QStringList texts;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            QStringList columns;
            for (int column = 0; column < model.columnCount(); ++column)
                columns << model.index(row, column, parent).data().toString();
            texts << columns.join('|');
        }
        return texts;
    }
    // The row named `name` below `parent`, expanded as the user expands it.
    static QModelIndex expand(FormBrowse& form, const QString& name,
                              const QModelIndex& parent = {}) {
        const QModelIndexList found = form.volumes().match(
            form.volumes().index(0, 0, parent), Qt::DisplayRole, name, 1, Qt::MatchStartsWith);
        EXPECT_EQ(found.size(), 1) << name.toStdString();
        if (found.isEmpty()) return {};
        tree(form).expand(found.front());
        return found.front();
    }
};

TEST_F(FormBrowseTest, theSearchWindowsButtonAndMenuOpenOneTreeOfEveryVolumeUnread) {
    FormSearch search(state);
    search.show();
    child(search, "CmdBrowse")->click();
    auto* form = search.findChild<FormBrowse*>();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->windowTitle(), "Orvik - Browse Volumes     Catalogue=Orvik");
    EXPECT_EQ(shown(*form), QStringList({"CD1  (PHOTOS)||", "CD2  (MUSIC)||"}));
    // Nothing below a volume is read before it is expanded.
    const QModelIndex cd1 = form->volumes().index(0, 0);
    EXPECT_TRUE(form->volumes().hasChildren(cd1));
    EXPECT_EQ(form->volumes().rowCount(cd1), 0);

    child<QAction>(search, "Tools_Browse")->trigger();
    EXPECT_EQ(search.findChildren<FormBrowse*>().size(), 1);
}

TEST_F(FormBrowseTest, expandingShowsDirectoriesAsTheirPathsNestThenFilesWithDateAndLength) {
    FormBrowse form(state, nullptr);
    form.show();
    const QString date = QDateTime::fromSecsSinceEpoch(Modified).toString("yyyy-MM-dd HH:mm:ss");
    const QModelIndex cd1 = expand(form, "CD1");
    EXPECT_EQ(shown(form, cd1), QStringList({"ONLY||", "SUB||", "A.JPG|" + date + "|7"}));
    const QModelIndex only = expand(form, "ONLY", cd1);
    EXPECT_EQ(shown(form, only), QStringList({"DEEP||"}));
    EXPECT_EQ(shown(form, expand(form, "DEEP", only)), QStringList({"C.TXT|" + date + "|7"}));
    EXPECT_EQ(shown(form, expand(form, "SUB", cd1)), QStringList({"D.TXT|" + date + "|7"}));
    EXPECT_EQ(shown(form, expand(form, "CD2")), QStringList({"R.MP3|" + date + "|7"}));
}

TEST_F(FormBrowseTest, aDoubleClickOrEnterOnAFileOpensTheDetailsOnThatRecord) {
    FormSearch search(state); // opens the shared recordset, as the program does
    FormBrowse form(state, &search);
    form.show();
    QTreeView& view = tree(form);
    const QModelIndex deep = expand(form, "DEEP", expand(form, "ONLY", expand(form, "CD1")));
    const QModelIndex file = form.volumes().index(0, 0, deep);
    QStringList opened;
    auto whenOpen = [&] {
        whenModal([&](QWidget& details) {
            opened << child<QLineEdit>(details, "TextFile")->text() + " in " +
                          child<QLineEdit>(details, "TextPath")->text();
            child(details, "CmdExit")->click();
        });
    };
    whenOpen();
    view.scrollTo(file);
    const QPoint at = view.visualRect(file).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at); // as the mouse does it
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(state.CurrentPosition, form.volumes().bookmark(file));

    whenOpen();
    view.setFocus();
    view.setCurrentIndex(form.volumes().index(1, 0, expand(form, "CD1"))); // SUB: opens nothing
    QTest::keyClick(&view, Qt::Key_Return);
    view.setCurrentIndex(file);
    QTest::keyClick(&view, Qt::Key_Return);
    const QString directory = QDir(discs.path()).absolutePath().toUpper() + "/CD1/ONLY/DEEP/";
    EXPECT_EQ(opened, QStringList(2, "C.TXT in " + directory));
}

TEST_F(FormBrowseTest, activationShowsTheVolumesAsTheyAreNowAndKeepsWhatWasExpanded) {
    FormBrowse form(state, nullptr);
    form.show();
    expand(form, "CD1");
    expand(form, "CD2");
    makeFile(discs.path() + "/cd3/Z.txt", 1, Modified);
    add("cd3", "CD3", "new");
    state.CurrentPosition =
        form.volumes().bookmark(form.volumes().index(0, 0, form.volumes().index(1, 0)));
    SilentProgress progress;
    std::shared_ptr<engine::Catalogue> database;
    ASSERT_EQ(eraseVolume(state, progress, database), 1); // CD2
    form.Form_Activate();
    EXPECT_EQ(shown(form), QStringList({"CD1  (PHOTOS)||", "CD3  (NEW)||"}));
    EXPECT_EQ(form.volumes().rowCount(form.volumes().index(0, 0)), 3);
    EXPECT_TRUE(tree(form).isExpanded(form.volumes().index(0, 0)));
    const QString date = QDateTime::fromSecsSinceEpoch(Modified).toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(shown(form, expand(form, "CD3")), QStringList({"Z.TXT|" + date + "|1"}));

    state.CatalogueName = "OTHER"; // no volumes there
    form.Form_Activate();
    EXPECT_EQ(form.volumes().rowCount(), 0);
    EXPECT_EQ(form.windowTitle(), "Orvik - Browse Volumes     Catalogue=OTHER");
}

TEST_F(FormBrowseTest, escapeClosesTheWindowWhichOpensAgainWhereItWasLeft) {
    QWidget opener;
    FormBrowse& form = FormBrowse::showFor(state, opener);
    const QRect place(form.pos() + QPoint(40, 30), form.size() + QSize(50, 20));
    form.move(place.topLeft());
    form.resize(place.size());
    QPointer<FormBrowse> closing(&form);
    QTest::keyClick(&form, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
    FormBrowse& again = FormBrowse::showFor(state, opener);
    EXPECT_EQ(QRect(again.pos(), again.size()), place);
}

} // namespace
