#include "app/OrvikWindows.h"
#include "catalogue/FormMain.h"
#include "core/CatalogueFiles.h"
#include "core/Startup.h"
#include "search/FormSearch.h"
#include "tests/support/FullDisk.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <gtest/gtest.h>

using namespace orvik;
using namespace orvik::test;

TEST(StartupWindows, aFreshFolderGetsTheSearchWindowAndOneWhereNoCatalogueCanBeMadeTheMainWindow) {
    TestApp app;
    settleStartup(app.state());
    {
        OrvikWindows windows(app.state());
        EXPECT_TRUE(QFile::exists(app.home() + "/ORVIK.mdb"));
        EXPECT_TRUE(windows.search().isVisible());
        EXPECT_NE(app.state().CentreLeft, 0.0f);
        // Orvik's own icon, in the sizes the menu entry has.
        const QIcon icon = windows.search().windowIcon();
        for (const int size : {48, 64, 128, 256})
            EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    }
    // The application folder is a plain file: no catalogue can be created in it.
    ASSERT_TRUE(QDir(app.home()).removeRecursively());
    ASSERT_TRUE(QFile(app.home()).open(QIODevice::WriteOnly));
    app.restart();
    settleStartup(app.state());
    {
        OrvikWindows windows(app.state());
        EXPECT_TRUE(windows.main().isVisible());
        EXPECT_FALSE(windows.search().isVisible());
    }
    EXPECT_EQ(app.state().CentreLeft, 0.0f);
    ASSERT_FALSE(app.prompt().shown.empty());
    EXPECT_EQ(app.prompt().shown.front().text, "Can't delete/create catalogue file ORVIK");
    QFile::remove(app.home());
    QDir().mkdir(app.home());
}

TEST(StartupWindows, aStartAndCloseOnAFullDiskLeaveTheSettingsFileAsItWas) {
    TestApp app;
    FullDisk disk(app.home());
    if (!disk.failure().empty()) GTEST_SKIP() << disk.failure();
    int status = 1;
    CreateCatalogue(app.state(), status);
    app.state().CatalogueDatabase.reset();
    ASSERT_EQ(status, 0);
    const QString ini = app.home() + "/Orvik.ini";
    // Without a default drive, so start-up writes one; longer than the one free block.
    const QByteArray stored =
        "[Options]\nDBName=Orvik\nExtensionString=" + QByteArray(6000, 'x') + "\n";
    writeFile(ini, stored);
    disk.fill(1);
    app.restart();
    settleStartup(app.state());
    {
        OrvikWindows windows(app.state());
        ASSERT_TRUE(windows.search().isVisible());
        windows.search().close(); // writes the window's place and printer font
    }
    EXPECT_EQ(fileBytes(ini), stored);
    EXPECT_EQ(QDir(app.home()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"filler", "Orvik.ini", "ORVIK.mdb"}));
}
