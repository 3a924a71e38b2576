// The add as the user runs it: real trees added through Add1 of the main
// window, the catalogue read back record by record.
#include "CatalogueFixture.h"

#include "engine/Database.h"
#include "platform/FileSystem.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace orvik::test {
namespace {

using engine::Field;

const engine::Value& at(const engine::Row& row, Field field) {
    return row[size_t(field)];
}

QStringList fileNames(const std::vector<engine::Row>& rows) {
    QStringList names;
    for (const auto& row : rows)
        names << show(at(row, Field::CDFile));
    return names;
}

class AddWindow : public MainWindowTest {};

TEST_F(AddWindow, addsTheExampleDiscAsOneSparseRunAndASecondAddAsAnotherRun) {
    makeFile(disc + "/readme.txt");
    makeFile(disc + "/setup.exe");
    makeFile(disc + "/DATA/a.dat");
    makeFile(disc + "/DATA/b.dat");
    makeDir(disc + "/DOCS");
    openWindow(false, false, false);

    addDisc("Quake demo", "fps");
    auto rows = records();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(show(at(rows[0], Field::CDVolume)), "GAMES1");
    EXPECT_EQ(show(at(rows[0], Field::CDDescription)), "QUAKE DEMO");
    EXPECT_EQ(show(at(rows[0], Field::CDKeywords)), "FPS");
    EXPECT_EQ(show(at(rows[0], Field::CDPath)), stored());
    EXPECT_EQ(show(at(rows[2], Field::CDPath)), stored("DATA"));
    EXPECT_EQ(
        std::set<QString>({show(at(rows[0], Field::CDFile)), show(at(rows[1], Field::CDFile))}),
        std::set<QString>({"README.TXT", "SETUP.EXE"}));
    EXPECT_EQ(
        std::set<QString>({show(at(rows[2], Field::CDFile)), show(at(rows[3], Field::CDFile))}),
        std::set<QString>({"A.DAT", "B.DAT"}));
    for (size_t i : {1u, 2u, 3u}) {
        EXPECT_FALSE(at(rows[i], Field::CDVolume)) << i;
        EXPECT_FALSE(at(rows[i], Field::CDDescription)) << i;
        EXPECT_FALSE(at(rows[i], Field::CDKeywords)) << i;
    }
    EXPECT_FALSE(at(rows[1], Field::CDPath));
    EXPECT_FALSE(at(rows[3], Field::CDPath));
    for (const auto& row : rows) {
        EXPECT_FALSE(at(row, Field::CDFileDate));
        EXPECT_FALSE(at(row, Field::CDFileLen));
    }
    EXPECT_TRUE(status().startsWith("Finished!\r\n3 Directories \r\n4 Files ("))
        << status().toStdString();
    EXPECT_TRUE(status().endsWith(" secs elapsed)"));
    EXPECT_TRUE(form->findChild<QLineEdit*>("TextDesc")->text().isEmpty());
    EXPECT_TRUE(form->findChild<QLineEdit*>("TextKeyword")->text().isEmpty());
    EXPECT_TRUE(app.state().CurDescription.isEmpty());
    EXPECT_TRUE(app.state().CatalogueChanged);
    EXPECT_EQ(button("CmdExit")->text(), "E&xit");
    EXPECT_TRUE(button("Add1")->isEnabled());
    EXPECT_FALSE(form->Busy);

    // No keywords this time: the new run's head leaves them Null.
    addDisc("Quake demo");
    rows = records();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(show(at(rows[4], Field::CDVolume)), "GAMES1");
    EXPECT_EQ(show(at(rows[4], Field::CDDescription)), "QUAKE DEMO");
    EXPECT_EQ(show(at(rows[4], Field::CDPath)), stored());
    EXPECT_FALSE(at(rows[4], Field::CDKeywords));
    EXPECT_EQ(app.prompt().shown.size(), 0u);
}

TEST_F(AddWindow, emptyDescriptionStopsTheAddBeforeAnythingElse) {
    makeFile(disc + "/a.txt");
    openWindow(true, true, true);
    // The drive is gone: the description check must come first all the same.
    app.drives().types.remove(disc);
    addDisc("");
    ASSERT_EQ(app.prompt().texts(), QStringList{"Please enter a description"});
    EXPECT_EQ(app.prompt().shown[0].icon, Icon::Exclamation);
    EXPECT_FALSE(QFile::exists(app.state().catalogueFile()));
}

TEST_F(AddWindow, filterKeepsListedExtensionsAndAFullyFilteredDirectoryLeavesNoTrace) {
    for (const char* name :
         {"PROG.EXE", "readme.txt", "Makefile", "a.cpp", "x.co", "report.final.doc", "odd."})
        makeFile(disc + "/" + name);
    makeFile(disc + "/AAA/only.cpp");
    makeFile(disc + "/BBB/notes.txt");
    openWindow(false, false, true);

    addDisc("filtered");
    auto rows = records();
    QStringList names = fileNames(rows);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, QStringList({"NOTES.TXT", "ODD.", "PROG.EXE", "README.TXT", "X.CO"}));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(show(at(rows[4], Field::CDFile)), "NOTES.TXT");
    EXPECT_EQ(show(at(rows[4], Field::CDPath)), stored("BBB"));
    EXPECT_TRUE(status().contains("\r\n5 Files (")) << status().toStdString();

    // Unchecking the filter lets every file through, names without a dot included.
    form->findChild<QAction*>("UseFilter")->trigger();
    EXPECT_EQ(app.state().UseFilter, "False");
    addDisc("unfiltered");
    EXPECT_EQ(records().size(), 5u + 9u);

    EXPECT_TRUE(passesFilter("main.c", DefaultExtensionList, "True"));
    EXPECT_TRUE(passesFilter("main.h", DefaultExtensionList, "True"));
}

TEST_F(AddWindow, skipsHiddenAndSpecialEntriesAndKeepsOddNames) {
    makeFile(disc + "/with space.txt");
    makeFile(disc + "/quote'\"s.txt");
    makeFile(disc + QString::fromUtf8("/Ünïcødé.txt"));
    makeFile(disc + "/.hidden.txt");
    makeFile(disc + "/.secret/inside.txt");
    makeFile(disc + "/sub/kept.txt");
    const QByteArray root = QFile::encodeName(disc);
    ASSERT_EQ(mkfifo((root + "/pipe.txt").constData(), 0644), 0);
    ASSERT_EQ(symlink("loop", (root + "/loop").constData()), 0);
    ASSERT_EQ(symlink("..", (root + "/sub/up").constData()), 0);
    FILE* raw = fopen((root + "/bad\xff\xfe.txt").constData(), "w");
    ASSERT_TRUE(raw);
    fclose(raw);
    // A directory whose name is not UTF-8 is listed again for its files.
    ASSERT_EQ(mkdir((root + "/dir\xff").constData(), 0755), 0);
    raw = fopen((root + "/dir\xff/inside.txt").constData(), "w");
    ASSERT_TRUE(raw);
    fclose(raw);
    openWindow(false, false, false);

    addDisc("odd names");
    QStringList names = fileNames(records());
    std::sort(names.begin(), names.end());
    QStringList expected = {"KEPT.TXT",
                            "INSIDE.TXT",
                            "QUOTE'\"S.TXT",
                            "WITH SPACE.TXT",
                            QString::fromUtf8("ÜNÏCØDÉ.TXT"),
                            QFile::decodeName("bad\xff\xfe.txt").toUpper()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(status().startsWith("Finished!\r\n3 Directories")) << status().toStdString();
    // QDir cannot name these to remove them.
    unlink((root + "/bad\xff\xfe.txt").constData());
    unlink((root + "/dir\xff/inside.txt").constData());
    rmdir((root + "/dir\xff").constData());
}

TEST_F(AddWindow, datesAndLengthsFollowTheOptionsAtEachRecord) {
    const qint64 when = 946729800; // 2000-01-01 12:30 UTC
    for (int i = 0; i < 60; ++i)
        makeFile(disc + QString("/f%1.txt").arg(i), i, when + i);
    openWindow(true, true, false);

    // Both options are switched off at the first pause of the writing stage (record 20).
    QTimer::singleShot(0, form.get(), [this] {
        form->findChild<QAction*>("OptDates")->trigger();
        form->findChild<QAction*>("OptLen")->trigger();
    });
    addDisc("dates");
    const auto rows = records();
    ASSERT_EQ(rows.size(), 60u);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i < 20) {
            const int n = show(at(rows[i], Field::CDFile)).mid(1).chopped(4).toInt();
            EXPECT_EQ(show(at(rows[i], Field::CDFileDate)), formatFileDate(when + n)) << i;
            EXPECT_EQ(show(at(rows[i], Field::CDFileLen)), QString::number(n)) << i;
        } else {
            EXPECT_FALSE(at(rows[i], Field::CDFileDate)) << i;
            EXPECT_FALSE(at(rows[i], Field::CDFileLen)) << i;
        }
    }
    EXPECT_FALSE(app.state().settings().getBool("SaveDates", true));
}

TEST_F(AddWindow, cancelDuringCollectionOrWritingLeavesTheCatalogueAsBefore) {
    makeFile(disc + "/first.txt");
    openWindow(false, false, false);
    addDisc("before");
    ASSERT_EQ(records().size(), 1u);
    for (int d = 0; d < 30; ++d)
        makeFile(disc + QString("/d%1/f.txt").arg(d));
    for (int i = 0; i < 50; ++i)
        makeFile(disc + QString("/many%1.txt").arg(i));

    // Cancel seen at the 20th directory found.
    QTimer::singleShot(0, form.get(), [this] { button("CmdExit")->click(); });
    addDisc("collect");
    EXPECT_EQ(status(), "Cancelled by user!");
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(app.endings, 0);
    EXPECT_FALSE(form->Busy);
    EXPECT_FALSE(form->CancelFlag);

    // A flat disc pauses first at record 20 of the writing stage.
    for (int d = 0; d < 30; ++d)
        QDir(disc + QString("/d%1").arg(d)).removeRecursively();
    QTimer::singleShot(0, form.get(), [this] {
        EXPECT_EQ(button("CmdExit")->text(), "Cancel");
        button("CmdExit")->click();
    });
    addDisc("write");
    EXPECT_EQ(status(), "Cancelled by user!");
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(form->add().FileCount, 20);
    EXPECT_EQ(app.endings, 0);
    EXPECT_EQ(button("CmdExit")->text(), "E&xit");
}

TEST_F(AddWindow, aCatalogueLockedByAnotherWriterIsReportedAndCancelEndsTheProgram) {
    makeFile(disc + "/a.txt");
    openWindow(false, false, false);
    addDisc("first");
    {
        engine::Database other(app.state().catalogueFile());
        other.exec("BEGIN IMMEDIATE");
        addDisc("second"); // the boxes get OK, OK and Cancel
        other.exec("ROLLBACK");
    }
    const QStringList texts = app.prompt().texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("Error 5")) << texts[0].toStdString();
    EXPECT_EQ(texts[1], "Can't open/edit catalogue file ORVIK - Read Only?.");
    EXPECT_EQ(app.prompt().shown[1].buttons, Buttons::RetryCancel);
    EXPECT_EQ(app.endings, 1);
    EXPECT_EQ(records().size(), 1u);
    EXPECT_FALSE(form->Busy);
}

TEST_F(AddWindow, clickingAddAgainWhileWritingStartsNoSecondRun) {
    for (int i = 0; i < 40; ++i)
        makeFile(disc + QString("/f%1.txt").arg(i));
    openWindow(false, false, false);
    // The buttons are usable again while the records are written.
    QTimer::singleShot(0, form.get(), [this] { button("Add1")->click(); });
    addDisc("once");
    EXPECT_EQ(records().size(), 40u);
    EXPECT_TRUE(status().startsWith("Finished!")) << status().toStdString();
    EXPECT_TRUE(app.prompt().shown.empty());
}

TEST_F(AddWindow, collectsAllOf250DirectoriesInPathOrder) {
    for (int top = 0; top < 50; ++top)
        for (int sub = 0; sub < 5; ++sub) {
            const QString dir = disc + QString("/T%1").arg(top, 2, 10, QChar('0')) +
                                (sub ? QString("/s%1").arg(sub) : QString());
            makeFile(dir + "/f.txt");
        }
    openWindow(false, false, false);
    addDisc("deep");
    EXPECT_EQ(form->add().DirCount, 251);
    const auto rows = records();
    ASSERT_EQ(rows.size(), 250u);
    QStringList paths;
    for (const auto& row : rows)
        paths << show(at(row, Field::CDPath));
    EXPECT_EQ(paths.removeDuplicates(), 0);
    QStringList sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(paths, sorted);
}

TEST_F(AddWindow, writes40000FilesInOneRun) {
    makeDir(disc + "/big");
    const QByteArray dir = QFile::encodeName(disc + "/big/");
    for (int i = 0; i < 40000; ++i) {
        const QByteArray path = dir + QByteArray::number(i) + ".dat";
        const int fd = ::creat(path.constData(), 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    openWindow(false, true, false);
    addDisc("big one");
    EXPECT_EQ(form->add().FileCount, 40000);
    EXPECT_TRUE(status().contains("\r\n40000 Files (")) << status().toStdString();
    const auto rows = records();
    ASSERT_EQ(rows.size(), 40000u);
    EXPECT_EQ(show(at(rows[39999], Field::CDFileLen)), "0");
    EXPECT_EQ(app.prompt().shown.size(), 0u);
}

} // namespace
} // namespace orvik::test
