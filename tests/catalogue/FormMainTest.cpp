// The main window around the add: its layout, stored geometry and options,
// the drive check and the launch messages.
#include "tests/catalogue/CatalogueFixture.h"
#include "tests/support/Widgets.h"

#include "catalogue/DirectoryList.h"
#include "catalogue/MainLayout.h"
#include "core/platform/LaunchMessage.h"
#include "core/ui/Twips.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

namespace orvik::test {
namespace {

class MainWindow : public MainWindowTest {};

TEST_F(MainWindow, layoutFollowsResizes) {
    openWindow(true, true, true);
    form->resize(1200, 900);
    form->show();
    QCoreApplication::processEvents();
    // The button row goes to the bottom, its right end under the file list's.
    const int area = twips::fromPixelsY(form->centralWidget()->height(), form.get());
    EXPECT_NEAR(child("Add1")->y(), twips::toPixelsY(area - 435, form.get()), 1);
    EXPECT_NEAR(child("CmdExit")->geometry().right(),
                child<QListWidget>("File1")->geometry().right(), 1);
}

TEST_F(MainWindow, theCataloguedLineSitsBesideTheStatusCaptionOverlappingNoControlAtAnySize) {
    openWindow(true, true, true);
    form->show();
    for (const QSize size : {form->size(), QSize(1200, 900), QSize(1900, 1000)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        const QRect line = child<QLabel>("LblCatalogued")->geometry();
        const QRect caption = child<QLabel>("Label3")->geometry();
        EXPECT_EQ(line.top(), caption.top());
        EXPECT_EQ(line.height(), caption.height());
        EXPECT_GT(line.left(), caption.right());
        EXPECT_EQ(line.right(), child<QLabel>("Label1")->geometry().right());
        // The caption's row touches the keyword box above it by design.
        for (const QWidget* control :
             form->centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->objectName() == "LblCatalogued" || control->geometry() == caption)
                continue;
            EXPECT_EQ(control->geometry().intersects(line), control->geometry().intersects(caption))
                << control->objectName().toStdString();
        }
    }
    EXPECT_EQ(controlsCutOff(*form), QStringList());
}

TEST_F(MainWindow, theCataloguedLineNamesTheVolumeTheOpenDirectoryIsAndIsEmptyOtherwise) {
    makeFile(disc + "/readme.txt");
    makeFile(disc + "/docs/a.txt");
    openWindow(true, true, false);
    auto* line = child<QLabel>("LblCatalogued");
    EXPECT_EQ(line->text(), "");
    addDisc("PCW Dec 1998");
    const QString catalogued =
        "Catalogued as GAMES1 \u2013 PCW DEC 1998, " + QDate::currentDate().toString(Qt::ISODate);
    // Cut to the line's width where it must be; the tool tip has it whole.
    auto shows = [&](const QString& text) {
        EXPECT_EQ(line->toolTip(), text);
        EXPECT_EQ(line->text(),
                  line->fontMetrics().elidedText(text, Qt::ElideRight, line->width()));
    };
    shows(catalogued);
    form->show();
    form->resize(1600, form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(line->text(), catalogued) << "whole on a wider window";

    auto* dirs = form->findChild<DirectoryList*>("Dir1");
    dirs->setPath(disc + "/docs");
    shows("");
    dirs->setPath(disc);
    shows(catalogued);

    // A window opened later, on another catalogue and back.
    form = std::make_unique<FormMain>(app.state());
    form->Form_Activate();
    line = child<QLabel>("LblCatalogued");
    shows(catalogued);
    app.state().CatalogueName = "OTHER";
    form->Form_Activate();
    shows("");
}

TEST_F(MainWindow, geometryIsStoredAndRestored) {
    openWindow(true, true, true);
    form->resize(1200, 900);
    form->show();
    QCoreApplication::processEvents();
    form->move(30, 40);
    form->Form_Deactivate();
    Settings& settings = app.state().settings();
    EXPECT_DOUBLE_EQ(settings.getNumber("MainWidth", 0), twips::fromPixelsX(1200, form.get()));
    EXPECT_DOUBLE_EQ(settings.getNumber("MainLeft", 0), twips::fromPixelsX(30, form.get()));
    form->resize(640, 480);
    form->close();
    EXPECT_EQ(app.endings, 1);
    EXPECT_DOUBLE_EQ(settings.getNumber("MainHeight", 0), twips::fromPixelsY(480, form.get()));
    EXPECT_DOUBLE_EQ(settings.getNumber("MainTop", 0), twips::fromPixelsY(40, form.get()));
    FormMain reloaded(app.state());
    EXPECT_EQ(reloaded.size(), QSize(640, 480));
    EXPECT_EQ(reloaded.pos(), QPoint(30, 40));

    // A key that is no number, an empty one too, stops the restore there.
    settings.saveNumber("MainLeft", twips::fromPixelsX(90, form.get()));
    for (const char* width : {"wide", ""}) {
        settings.save("MainWidth", width);
        FormMain partly(app.state());
        EXPECT_EQ(partly.height(), 480) << width;
        EXPECT_NE(partly.x(), 90) << width;
    }

    // A place that cannot be shown gives way to the design place and size.
    settings.save("MainWidth", "1e308");
    settings.save("MainHeight", "-480");
    settings.save("MainLeft", "-2147483648000");
    FormMain lost(app.state());
    lost.show();
    EXPECT_EQ(lost.width(), twips::toPixelsX(DesignWidth, &lost));
    EXPECT_GT(lost.height(), twips::toPixelsY(DesignHeight, &lost));
    EXPECT_TRUE(lost.screen()->availableGeometry().contains(lost.frameGeometry().topLeft()));
}

TEST_F(MainWindow, fallingBackToTheSystemDriveShowsItsLabelAsChoosingItDoes) {
    const QString unreadable = discs.path() + "/nodisc"; // mounted, but no folder to list
    app.drives().types.insert(unreadable, DriveRemovable);
    app.drives().labels.insert(SystemDrive, "SYSTEM");
    openWindow(true, true, true); // on the disc, labelled games1
    auto* drives = child<QComboBox>("Drive1");
    auto* volume = child<QLineEdit>("TxtVol");
    ASSERT_EQ(volume->text(), "games1");
    drives->setCurrentText(unreadable); // "Can't access drive!"
    EXPECT_EQ(volume->text(), "SYSTEM");
    EXPECT_EQ(form->CurVolume, "SYSTEM");

    drives->setCurrentText(disc);
    ASSERT_EQ(volume->text(), "games1");
    app.state().Options.DefaultDrive = "/media/gone";
    app.prompt().queue({Answer::Cancel}); // in drive prompt B
    form->Form_Activate();
    EXPECT_EQ(drives->currentText(), SystemDrive);
    EXPECT_EQ(volume->text(), "SYSTEM");
    ASSERT_EQ(app.prompt().texts().size(), 2);
    EXPECT_EQ(app.prompt().texts()[0], "Can't access drive!");
}

TEST_F(MainWindow, neverShrinksBelowItsDesignSizeSoNoControlIsCutOff) {
    openWindow(true, true, true);
    const QSize design = form->size();
    form->show();
    form->resize(1200, 900);
    QCoreApplication::processEvents();
    form->resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->size(), design);
    EXPECT_EQ(controlsCutOff(*form), QStringList());
    EXPECT_NEAR(child("Add1")->geometry().bottom(),
                form->centralWidget()->height() - twips::toPixelsY(105, form.get()), 2);
}

TEST_F(MainWindow, optionKeysWorkFromTextBoxesPersistAndAnEmptyFilterBoxRestoresTheDefaults) {
    const char* options[] = {"UseFilter", "OptDates", "OptLen"};
    openWindow(true, true, true);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // The menu keys work from the text boxes, which would take them for themselves.
    for (auto [name, key] : {std::pair{"Extension_TxtBox", Qt::Key_D},
                             {"TextKeyword", Qt::Key_S},
                             {"TextDesc", Qt::Key_E}}) {
        child<QLineEdit>(name)->setFocus();
        QTest::keyClick(child<QLineEdit>(name), key, Qt::ControlModifier);
    }
    auto* box = child<QLineEdit>("Extension_TxtBox");
    EXPECT_FALSE(box->isEnabled());
    box->setText(".iso");
    form->Extension_TxtBox_LostFocus();

    form.reset();
    app.restart();
    showWindow();
    EXPECT_FALSE(app.state().Options.SaveDates);
    EXPECT_FALSE(app.state().Options.SaveLengths);
    EXPECT_EQ(app.state().Options.UseFilter, "False");
    for (const char* item : options)
        EXPECT_FALSE(child<QAction>(item)->isChecked()) << item;
    box = child<QLineEdit>("Extension_TxtBox");
    EXPECT_EQ(box->text(), ".iso");

    box->clear();
    form->Extension_TxtBox_LostFocus();
    EXPECT_EQ(box->text(), DefaultExtensionList);
    EXPECT_EQ(app.state().Options.ExtensionString, DefaultExtensionList);
    EXPECT_EQ(app.state().settings().get("ExtensionString", ""), DefaultExtensionList);
}

TEST_F(MainWindow, ctrlCCopiesATextBoxSelectionAndSetsTheDefaultDriveOtherwise) {
    openWindow(true, true, true);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Settings& settings = app.state().settings();
    settings.save("DefaultDrive", "/elsewhere");
    QGuiApplication::clipboard()->clear();
    auto* description = child<QLineEdit>("TextDesc");
    description->setText("PCW Dec 1998");
    description->setFocus();
    description->setSelection(4, 3);
    QTest::keyClick(description, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Dec");
    EXPECT_EQ(settings.get("DefaultDrive", ""), "/elsewhere");

    description->deselect();
    QTest::keyClick(description, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(settings.get("DefaultDrive", ""), disc.toUpper());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Dec");
}

TEST_F(MainWindow,
       theDriveFollowsTheDefaultPassesTheCheckSilentlyWhenUnchangedAndSetDriveStoresIt) {
    openWindow(true, true, true, "");
    EXPECT_EQ(child<QLineEdit>("TxtVol")->text(), "*No_Name*");
    EXPECT_TRUE(status().endsWith("\r\n" + disc)) << status().toStdString();
    EXPECT_TRUE(form->CheckDrive());
    EXPECT_TRUE(app.prompt().shown.empty());

    // The medium goes away: Cancel gives up with the warning.
    app.drives().types.remove(disc);
    EXPECT_FALSE(form->CheckDrive());
    EXPECT_EQ(app.prompt().texts(),
              QStringList({"Drive error - please check drive is ready and try again",
                           "WARNING: - DEFAULT DRIVE NOW CHANGED!"}));
    child<QComboBox>("Drive1")->setCurrentText(SystemDrive);
    child<QAction>("SetDrive")->trigger();
    EXPECT_EQ(app.state().settings().get("DefaultDrive", ""), SystemDrive);
}

TEST_F(MainWindow, aClickHighlightsADirectoryAndEnterOpensIt) {
    makeFile(disc + "/top.txt");
    makeFile(disc + "/sub/inner.txt");
    QDir().mkpath(disc + "/sub/deeper");
    QDir().mkpath(disc + "/refused");
    openWindow(true, true, true);
    form->show();
    auto* dirs = child<QListWidget>("Dir1");
    ASSERT_EQ(dirs->count(), 3);
    auto click = [dirs](int row) {
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {},
                          dirs->visualItemRect(dirs->item(row)).center());
    };
    click(1); // a directory the system refuses shows no files and asks nothing
    EXPECT_EQ(child<QListWidget>("File1")->count(), 0);
    EXPECT_TRUE(app.prompt().shown.empty());
    click(2);
    EXPECT_EQ(child<QListWidget>("File1")->item(0)->text(), "inner.txt");
    EXPECT_TRUE(status().endsWith("\r\n" + disc)) << status().toStdString();

    QTest::keyClick(dirs, Qt::Key_Return);
    EXPECT_TRUE(status().endsWith("\r\n" + disc + "/sub")) << status().toStdString();
    ASSERT_EQ(dirs->count(), 3);
    EXPECT_EQ(dirs->item(2)->text().trimmed(), "deeper");
    EXPECT_EQ(dirs->currentRow(), 1);
}

TEST_F(MainWindow, aDirectoryHighlightedFromTheKeyboardListsItsFilesAsAClickDoes) {
    for (const char* file : {"alpha/a.txt", "beta/b.txt", "Bravo/c.txt"})
        makeFile(disc + "/" + file);
    openWindow(true, true, true);
    form->show();
    auto* dirs = child<QListWidget>("Dir1");
    auto* files = child<QListWidget>("File1");
    dirs->setFocus();
    QTest::keyClick(dirs, Qt::Key_B); // the first folder beginning with it
    EXPECT_EQ(dirs->currentItem()->text(), "beta");
    EXPECT_EQ(rows(*files), QStringList({"b.txt"}));
    QTest::keyClick(dirs, Qt::Key_Down);
    EXPECT_EQ(rows(*files), QStringList({"c.txt"}));
    QTest::keyClick(dirs, Qt::Key_Home);
    QTest::keyClick(dirs, Qt::Key_Down);
    EXPECT_EQ(rows(*files), QStringList({"a.txt"}));
}

TEST_F(MainWindow, onlyComingBackFromAnotherProgramWindowIsAnActivation) {
    openWindow(true, true, true);
    // Every activation now asks about the missing default drive (answered Cancel).
    app.state().Options.DefaultDrive = "/media/gone";
    auto activate = [](QWidget* window) {
        window->show();
        window->activateWindow();
        QCoreApplication::processEvents();
    };
    activate(form.get());
    ASSERT_TRUE(form->isActiveWindow());
    QMessageBox box;
    activate(&box);
    box.hide();
    activate(form.get());
    EXPECT_EQ(app.prompt().shown.size(), 1u);

    QWidget other;
    activate(&other);
    activate(form.get());
    ASSERT_EQ(app.prompt().shown.size(), 2u);
    EXPECT_TRUE(app.prompt().shown[1].text.startsWith(
        "Can't access files on drive /media/gone "
        "- check CD - Cancel will default to C:?    (Error 68"))
        << app.prompt().shown[1].text.toStdString();
}

TEST_F(MainWindow, launchReportsShellFailuresInItsOwnWords) {
    makeFile(disc + "/run.exe");
    openWindow(true, true, true);
    child<QListWidget>("File1")->setCurrentRow(0);
    for (int result : {2, 0, 42, 31}) {
        app.shell().result = result;
        child("CmdExec")->click();
    }
    EXPECT_EQ(app.shell().opened.value(0), disc + "/run.exe");
    EXPECT_EQ(app.prompt().texts(),
              QStringList({" Error 2 - File not Found ", " Error 0",
                           " Error 31 - No asociation exists for this file "}));
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::None);
    EXPECT_EQ(launchMessage(3), " Error 3 - Path not found ");
}

} // namespace
} // namespace orvik::test
