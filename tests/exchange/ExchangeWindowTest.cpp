// The catalogue selection window's "E&xport…" and "&Import…" on real
// catalogue files, with the file dialog answered as a user would.
#include "core/Startup.h"
#include "manage/FormSelDB.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Widgets.h"

#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace orvik;
using namespace orvik::test;

namespace {

class ExchangeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        settleStartup(app.state());
        CatalogueWriter(app.state()).addRun("CD1", "PHOTOS", "", {directory("/M/", {"A.JPG"})});
    }
    static void pick(FormSelDB& form, const QString& file) {
        auto* list = child<QListWidget>(form, "FileDB");
        const auto found = list->findItems(file, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found[0]).center());
    }
    // Clicks `button` and picks `file` in its file dialog.
    static void choosing(FormSelDB& form, const char* button, const QString& file) {
        whenModal([file](QWidget& dialog) {
            dynamic_cast<QFileDialog&>(dialog).selectFile(file);
            static_cast<QDialog&>(dialog).accept();
        });
        child<QPushButton>(form, button)->click();
    }

    TestApp app;
    QTemporaryDir files;
};

TEST_F(ExchangeWindow, exportWritesTheHighlightedCatalogueInTheFormatOfTheFileChosen) {
    FormSelDB form(app.state());
    app.prompt().queue({Answer::Ok});
    child<QPushButton>(form, "CmdExport")->click();
    ASSERT_EQ(app.prompt().shown.size(), 1u);
    EXPECT_EQ(app.prompt().shown[0].text, "Please highlight a catalogue in the catalogue list");

    pick(form, "ORVIK.mdb");
    const QString json = files.path() + "/orvik.json";
    app.prompt().queue({Answer::Ok});
    choosing(form, "CmdExport", json);
    EXPECT_TRUE(fileBytes(json).startsWith("{\"catalogue\": \"ORVIK\", \"volumes\": ["));
    EXPECT_EQ(app.prompt().shown.back().text, "Exported 1 records of 1 volumes to " + json);

    const QString unknown = files.path() + "/orvik.txt";
    app.prompt().queue({Answer::Ok, Answer::Ok});
    choosing(form, "CmdExport", unknown);
    EXPECT_FALSE(QFile::exists(unknown));
    ASSERT_GE(app.prompt().shown.size(), 2u);
    EXPECT_TRUE(app.prompt().shown[app.prompt().shown.size() - 2].text.contains(
        "the formats known are csv, json, html and efu"));
    EXPECT_EQ(app.prompt().shown.back().text, "Export failed - nothing was written.");
    EXPECT_EQ(child<QPushButton>(form, "CmdDone")->text(), "&Done");
}

TEST_F(ExchangeWindow, importAddsTheFilesVolumesToTheHighlightedCatalogue) {
    const QString csv = files.path() + "/one.csv";
    {
        FormSelDB form(app.state());
        pick(form, "ORVIK.mdb");
        app.prompt().queue({Answer::Ok});
        choosing(form, "CmdExport", csv);
        app.prompt().queue({Answer::Ok});
        choosing(form, "CmdImport", csv);
        EXPECT_EQ(app.prompt().shown.back().text, "Imported 1 records of 1 volumes into ORVIK");
    }
    EXPECT_EQ(readCatalogue(app.state().catalogueFile()).size(), 2u);
}

TEST_F(ExchangeWindow, cancelDuringAnImportLeavesTheCatalogueAsItWas) {
    // Enough records for the import to let the events run, where Cancel is seen.
    QByteArray csv = "volume,description,directory,file\r\n";
    for (int i = 0; i < 70000; ++i)
        csv += "CD2,MANY,/MANY/,F" + QByteArray::number(i) + "\r\n";
    const QString file = files.path() + "/many.csv";
    writeFile(file, csv);

    FormSelDB form(app.state());
    pick(form, "ORVIK.mdb");
    auto* done = child<QPushButton>(form, "CmdDone");
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (done->text() == "Cancel") done->click();
    });
    cancel.start(0);
    app.prompt().queue({Answer::Ok});
    choosing(form, "CmdImport", file);
    cancel.stop();
    EXPECT_EQ(app.prompt().shown.back().text,
              "Import cancelled - the catalogue is as it was before.");
    EXPECT_EQ(readCatalogue(app.state().catalogueFile()).size(), 1u);
    EXPECT_EQ(done->text(), "&Done");
    EXPECT_TRUE(child<QPushButton>(form, "CmdImport")->isEnabled());
}

} // namespace
