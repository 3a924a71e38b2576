#include "FormMain.h"
#include "FormSearch.h"
#include "OrvikWindows.h"
#include "Startup.h"
#include "TestApp.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <gtest/gtest.h>

using namespace orvik;
using orvik::test::TestApp;

TEST(StartupWindows, aFreshFolderGetsTheSearchWindowAndOneWhereNoCatalogueCanBeMadeTheMainWindow) {
    TestApp app;
    settleStartup(app.state());
    {
        OrvikWindows windows(app.state());
        EXPECT_TRUE(QFile::exists(app.home() + "/ORVIK.mdb"));
        EXPECT_TRUE(windows.search().isVisible());
        EXPECT_NE(app.state().CentreLeft, 0.0f);
        EXPECT_EQ(app.state().MainWindow, &windows.main());
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
