#include "core/Startup.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

using namespace orvik;
using namespace orvik::test;

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
        EXPECT_EQ(app.state().Options.DefaultDrive, c.drive) << c.stored.toStdString();
        EXPECT_EQ(app.state().settings().get("DefaultDrive", "?"), c.drive);
    }
}

TEST(Startup, firstRunWritesBackItsDefaultsAndAStoredCatalogueNameKeepsTheUsersSpelling) {
    TestApp app;
    settleStartup(app.state());
    EXPECT_EQ(app.state().CatalogueName, "ORVIK");
    EXPECT_EQ(app.state().Options.ExtensionString, DefaultExtensionList);
    EXPECT_TRUE(app.state().Options.DisplayPaths && app.state().CatalogueChanged);
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

TEST(Settings, anyTextReadsBackAsSavedAndTheRestOfTheFileStaysAsItWas) {
    TestApp app;
    const QString ini = app.home() + "/Orvik.ini";
    const QByteArray rest = "\n; another program's\n[Other]\nKey=a,b\n";
    writeFile(ini, "[Options]\nAutoList=True\n" + rest);
    app.restart();
    // Last, control characters before hex digits, which a hex escape runs into.
    const QStringList values =
        QStringList{"",    " a ",       "a,b",    "x;y",       "k=v",
                    "@at", "q\"uo\\te", "back\\", "x\n* FAKE", "\u00fc\u20ac\U0001F600"}
        << QString("\x01") + "f9" << QString("\x7f") + "7";
    for (int i = 0; i < values.size(); ++i)
        app.state().settings().save(QString("K%1").arg(i), values[i]);
    app.state().settings().save("AutoList", "False");

    // Read from the disk by a store that has not seen the saves.
    Settings copy(ini);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(copy.get(QString("K%1").arg(i), "?"), values[i]) << i;
    EXPECT_EQ(copy.get("AutoList", "?"), "False");
    EXPECT_TRUE(fileBytes(ini).startsWith("[Options]\nAutoList=False\nK0=\n"));
    EXPECT_TRUE(fileBytes(ini).endsWith(rest));
}

TEST(Settings, aHandEditedValueReadsAsTheTextItHoldsAndIsWrittenBackToReadTheSame) {
    TestApp app;
    writeFile(app.home() + "/Orvik.ini", "[Options]\nDBName=my,cds\nExtensionString = .txt,.doc\n"
                                         "PrnFontName=Mono \"Sans\"; Bold\n");
    app.restart();
    settleStartup(app.state()); // writes DBName and ExtensionString back
    EXPECT_EQ(app.state().CatalogueName, "MY,CDS");
    EXPECT_EQ(app.state().Options.ExtensionString, ".txt,.doc");
    Settings& settings = app.state().settings();
    settings.save("PrnFontName", settings.get("PrnFontName", "?"));
    Settings reread(app.home() + "/Orvik.ini");
    EXPECT_EQ(reread.get("DBName", "?"), "my,cds");
    EXPECT_EQ(reread.get("ExtensionString", "?"), ".txt,.doc");
    EXPECT_EQ(reread.get("PrnFontName", "?"), "Mono \"Sans\"; Bold");
}
