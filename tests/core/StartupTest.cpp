#include "Startup.h"
#include "TestApp.h"

#include <gtest/gtest.h>

using namespace orvik;
using orvik::test::TestApp;

TEST(Startup, firstRunSettlesAndWritesBackTheThreeKeys) {
    TestApp app;
    app.drives().types.insert("/media/g", DriveCdRom);
    app.drives().types.insert("/media/e", DriveCdRom);
    app.drives().types.insert("/media/usb", DriveRemovable);
    settleStartup(app.state());
    AppState& state = app.state();
    EXPECT_EQ(state.DefaultDrive, "/media/e") << "the first CD-ROM in order wins";
    EXPECT_EQ(state.CatalogueName, "ORVIK");
    EXPECT_EQ(state.ExtensionString, DefaultExtensionList);
    EXPECT_TRUE(state.DisplayPaths);
    EXPECT_TRUE(state.CatalogueChanged);
    Settings& settings = state.settings();
    EXPECT_EQ(settings.get("DefaultDrive", "?"), "/media/e");
    EXPECT_EQ(settings.get("DBName", "?"), "Orvik");
    EXPECT_EQ(settings.get("ExtensionString", "?"), DefaultExtensionList);
    EXPECT_FALSE(settings.contains("UseFilter")) << "options appear only when clicked";
}

TEST(Startup, probeFallsBackToTheSystemDriveOrStaysEmpty) {
    TestApp fixedOnly;
    settleStartup(fixedOnly.state());
    EXPECT_EQ(fixedOnly.state().DefaultDrive, SystemDrive);

    TestApp remoteRoot;
    remoteRoot.drives().types["/"] = DriveRemote;
    settleStartup(remoteRoot.state());
    EXPECT_EQ(remoteRoot.state().DefaultDrive, "");
    EXPECT_EQ(remoteRoot.state().settings().get("DefaultDrive", "?"), "");

    TestApp ramRoot;
    ramRoot.drives().types["/"] = DriveRamDisk;
    settleStartup(ramRoot.state());
    EXPECT_EQ(ramRoot.state().DefaultDrive, SystemDrive);
}

TEST(Startup, storedDriveIsUpperCasedAndReplacedWhenUnusable) {
    TestApp app;
    app.drives().types.insert("/media/cdrom", DriveCdRom);
    app.drives().types.insert("/mnt/ram", DriveRamDisk);
    Settings& settings = app.state().settings();

    settings.save("DefaultDrive", "/media/cdrom");
    settleStartup(app.state());
    EXPECT_EQ(app.state().DefaultDrive, "/MEDIA/CDROM") << "matched to the mount without case";

    settings.save("DefaultDrive", "q:");
    settleStartup(app.state());
    EXPECT_EQ(app.state().DefaultDrive, SystemDrive);
    EXPECT_EQ(settings.get("DefaultDrive", "?"), SystemDrive);

    settings.save("DefaultDrive", "/mnt/ram");
    settleStartup(app.state());
    EXPECT_EQ(app.state().DefaultDrive, SystemDrive);
}

TEST(Startup, catalogueNameKeepsTheUsersSpellingInTheSettings) {
    TestApp app;
    app.state().settings().save("DBName", "mycds");
    app.state().settings().save("ExtensionString", "");
    settleStartup(app.state());
    EXPECT_EQ(app.state().CatalogueName, "MYCDS");
    EXPECT_EQ(app.state().settings().get("DBName", "?"), "mycds");
    EXPECT_TRUE(app.state().catalogueFile().endsWith("/MYCDS.mdb"));
    EXPECT_EQ(app.state().settings().get("ExtensionString", "?"), DefaultExtensionList);
}

TEST(Settings, truthValuesAndNumbersAreTextAndGarbageFallsBack) {
    TestApp app;
    Settings& settings = app.state().settings();
    EXPECT_TRUE(settings.getBool("SaveDates", true));
    settings.saveBool("SaveDates", false);
    settings.saveNumber("MainWidth", 8190);
    settings.saveNumber("PrnFontSize", 6.5);
    app.restart();
    Settings& reread = app.state().settings();
    EXPECT_EQ(reread.get("SaveDates", ""), "False");
    EXPECT_FALSE(reread.getBool("SaveDates", true));
    EXPECT_EQ(reread.get("MainWidth", ""), "8190");
    EXPECT_DOUBLE_EQ(reread.getNumber("PrnFontSize", 0), 6.5);

    reread.save("AutoList", "maybe");
    reread.save("MainHeight", "tall");
    EXPECT_TRUE(reread.getBool("AutoList", true));
    EXPECT_FALSE(reread.getBool("AutoList", false));
    EXPECT_EQ(reread.getNumber("MainHeight", 5925), 5925);
}
