#include "Startup.h"
#include "TestApp.h"

#include <gtest/gtest.h>

using namespace orvik;
using orvik::test::TestApp;

TEST(Startup, theDefaultDriveIsAUsableStoredOneElseTheFirstCdRomElseTheSystemDriveOrNone) {
    const struct {
        QMap<QString, int> drives; // besides the fixed root
        QString stored, drive;     // stored "?": none
    } cases[] = {
        {{{"/media/g", DriveCdRom}, {"/media/e", DriveCdRom}, {"/media/usb", DriveRemovable}},
         "?",
         "/media/e"},
        {{}, "?", SystemDrive},
        {{{"/", DriveRemote}}, "?", ""},
        {{{"/", DriveRamDisk}}, "?", SystemDrive},
        {{{"/media/cdrom", DriveCdRom}}, "/media/cdrom", "/MEDIA/CDROM"}, // matched without case
        {{{"/media/cdrom", DriveCdRom}}, "q:", SystemDrive},
        {{{"/mnt/ram", DriveRamDisk}}, "/mnt/ram", SystemDrive}};
    for (const auto& c : cases) {
        TestApp app;
        app.drives().types.insert(c.drives);
        if (c.stored != "?") app.state().settings().save("DefaultDrive", c.stored);
        settleStartup(app.state());
        EXPECT_EQ(app.state().DefaultDrive, c.drive) << c.stored.toStdString();
        EXPECT_EQ(app.state().settings().get("DefaultDrive", "?"), c.drive);
    }
}

TEST(Startup, firstRunWritesBackItsDefaultsAndAStoredCatalogueNameKeepsTheUsersSpelling) {
    TestApp app;
    settleStartup(app.state());
    EXPECT_EQ(app.state().CatalogueName, "ORVIK");
    EXPECT_EQ(app.state().ExtensionString, DefaultExtensionList);
    EXPECT_TRUE(app.state().DisplayPaths && app.state().CatalogueChanged);
    Settings& settings = app.state().settings();
    EXPECT_EQ(settings.get("DBName", "?"), "Orvik");
    EXPECT_EQ(settings.get("ExtensionString", "?"), DefaultExtensionList);
    EXPECT_FALSE(settings.contains("UseFilter")) << "options appear only when clicked";

    settings.save("DBName", "mycds");
    settings.save("ExtensionString", "");
    app.restart();
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
