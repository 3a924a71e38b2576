// orvik-cli export and import: round trips through CSV and JSON, an EFU list,
// malformed input, unknown formats, a failed export, and the web page.
#include "core/engine/Catalogue.h"
#include "core/engine/Checksums.h"
#include "core/engine/VolumeIdentity.h"
#include "tests/support/CatalogueWriter.h"
#include "tests/support/FullDisk.h"
#include "tests/support/Processes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <tuple>

using namespace orvik;
using namespace orvik::test;

namespace {

class Exchange : public ::testing::Test {
protected:
    // Three volumes: texts with accents, quotes, commas, line breaks and tabs,
    // sparse records, a record with keywords of its own, identity, location
    // and checksums on the first; the second and third without identity and
    // alike in label and description, yet two volumes.
    void SetUp() override {
        CatalogueWriter writer(app.state());
        const QString head = writer.addRun(
            "PHOTOS 2019", "ÉTÉ, \"BEST\"\nOF\tALL", "FPS, ÇA",
            {{"/MEDIA/CD/", {{"LISEZ-MOI.TXT", "2019-07-01 10:00:00", "0"}, {"A,B.JPG", {}, "12"}}},
             {"/MEDIA/CD/ÉTÉ \"2019\"/", {{"BJÖRK – JÓGA.FLAC", "2019-08-02 11:30:05", {}}}}});
        writer.addRecord({}, {}, "OWN.TXT", {}, "MY OWN\nWORDS");
        writer.addRun("MUSIC", "SAME", "", {directory("/A/", {"X", "Y"})});
        writer.addRun("MUSIC", "SAME", "", {directory("/A/", {"Z"})});
        writer.recordset().Close();

        engine::Catalogue& db = *app.state().workspace().OpenDatabase(catalogue());
        engine::Transaction write(db);
        engine::VolumeIdentity identity;
        identity.uuid = "1234-ABCD";
        identity.fsType = "iso9660";
        identity.label = "Photos 2019";
        identity.topDirectory = identity.place = "/media/cd";
        identity.totalBytes = 700000000;
        identity.scanned = "2019-09-01T08:00:00Z";
        identity.saveDates = identity.saveChecksums = true;
        identity.directories = 2;
        identity.files = 4;
        identity.location = "Box 12, \"slot\" 3";
        engine::writeVolumeIdentity(db, head.toLongLong(), identity);
        engine::ChecksumWriter(db).write(
            head.toLongLong() + 1, *engine::parseChecksum("00112233445566778899aabbccddeeff"));
        write.commit();
    }

    QString catalogue() const { return app.home() + "/ORVIK.mdb"; }

    // orvik-cli in another application folder, whose catalogue has the same name.
    CliRun elsewhere(const QStringList& arguments) {
        return cli(arguments, withHome(other.path()));
    }

    TestApp app;
    QTemporaryDir other, files;
};

TEST_F(Exchange, csvAndJsonRoundTripsGiveTheSameRecordsAndTheSameFile) {
    for (const QString format : {"csv", "json"}) {
        SCOPED_TRACE(format.toStdString());
        const QString first = files.path() + "/first." + format;
        const QString again = files.path() + "/again." + format;
        ASSERT_EQ(cli({"export", "--output", first}).exitCode, 0);
        QDir(other.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(other.path()));
        const CliRun imported = elsewhere({"import", first});
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        EXPECT_EQ(imported.out, QStringList("Imported 7 records of 3 volumes."));
        ASSERT_EQ(elsewhere({"export", "--output", again}).exitCode, 0);
        EXPECT_EQ(fileBytes(again), fileBytes(first));

        // Sparse as the add writes: the same fields on the same records.
        EXPECT_EQ(readCatalogue(other.path() + "/ORVIK.mdb"), readCatalogue(catalogue()));
        engine::Catalogue copy(other.path() + "/ORVIK.mdb", engine::Catalogue::Access::ReadOnly);
        const auto identity = engine::readVolumeIdentity(copy, 1);
        ASSERT_TRUE(identity);
        EXPECT_EQ(identity->location, "Box 12, \"slot\" 3");
        EXPECT_EQ(identity->totalBytes, 700000000);
        EXPECT_TRUE(identity->saveChecksums);
        EXPECT_FALSE(engine::readVolumeIdentity(copy, 5)) << "no identity stays none";
        const auto checksum = engine::readChecksum(copy, 2);
        ASSERT_TRUE(checksum);
        EXPECT_EQ(engine::checksumText(*checksum), "00112233445566778899aabbccddeeff");
        EXPECT_FALSE(engine::readChecksum(copy, 1));
    }
}

// Other tools reorder an object's keys (QJsonDocument and jq -S sort them).
TEST_F(Exchange, aJsonImportReadsTheKeysOfAnObjectInAnyOrder) {
    const QString json = files.path() + "/sorted.json";
    ASSERT_EQ(cli({"export", "--output", json}).exitCode, 0);
    writeFile(json, QJsonDocument::fromJson(fileBytes(json)).toJson());
    ASSERT_TRUE(fileBytes(json).indexOf("\"directories\"") < fileBytes(json).indexOf("\"volume\""));
    const CliRun imported = elsewhere({"import", json});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(readCatalogue(other.path() + "/ORVIK.mdb"), readCatalogue(catalogue()));
    engine::Catalogue copy(other.path() + "/ORVIK.mdb", engine::Catalogue::Access::ReadOnly);
    const auto identity = engine::readVolumeIdentity(copy, 1);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->location, "Box 12, \"slot\" 3");
}

TEST_F(Exchange, exportLeavesTheCatalogueAsItWas) {
    const QByteArray before = fileBytes(catalogue());
    for (const char* format : {"csv", "json", "html", "efu"})
        EXPECT_EQ(cli({"export", "--format", format}).exitCode, 0) << format;
    EXPECT_EQ(fileBytes(catalogue()), before);
}

TEST_F(Exchange, anEfuListIsOneVolumeWithItsFileTimesInLocalTimeAndExportsBackTheSame) {
    // 132223104000000000 is 2020-01-01 00:00:00 UTC, 132064128000000000 2019-07-01.
    const QByteArray list = "Filename,Size,Date Modified,Date Created,Attributes\r\n"
                            "\"E:/PHOTOS\",,,,16\r\n"
                            "\"E:/PHOTOS/A \"\"B\"\", C.JPG\",5000000000,132223104000000000,,0\r\n"
                            "\"E:/PHOTOS/ÉTÉ.TXT\",0,132064128000000000,,0\r\n"
                            "\"E:/MUSIC\",,,,16\r\n"
                            "\"E:/MUSIC/X.FLAC\",7,,,0\r\n";
    const QString efu = files.path() + "/disc one.efu";
    writeFile(efu, "\xEF\xBB\xBF" + list);
    // Winter and summer time in Berlin: one hour ahead of UTC, then two.
    for (const auto& [zone, winter, summer] :
         {std::tuple{"UTC", "2020-01-01 00:00:00", "2019-07-01 00:00:00"},
          std::tuple{"Europe/Berlin", "2020-01-01 01:00:00", "2019-07-01 02:00:00"}}) {
        SCOPED_TRACE(zone);
        QDir(other.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(other.path()));
        QProcessEnvironment local = withHome(other.path());
        local.insert("TZ", zone);
        const CliRun imported =
            cli({"import", efu, "--description", "Holiday", "--keywords", "sea"}, local);
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();

        const auto rows = readCatalogue(other.path() + "/ORVIK.mdb");
        const engine::Value none;
        const std::vector<engine::Row> expected = {
            {{"DISC ONE", "HOLIDAY", "A \"B\", C.JPG", winter, "E:/PHOTOS/", "5000000000", "SEA"}},
            {{none, none, "ÉTÉ.TXT", summer, none, "0", none}},
            {{none, none, "X.FLAC", none, "E:/MUSIC/", "7", none}}};
        EXPECT_EQ(rows, expected);

        const QString back = files.path() + "/back.efu";
        ASSERT_EQ(cli({"export", "--output", back}, local).exitCode, 0);
        EXPECT_EQ(fileBytes(back), list);
    }
}

// Adelaide's clocks change at 16:30 UTC, half past a UTC hour.
TEST_F(Exchange, anEfuFileTimeJustAfterAClockChangeHalfPastAnHourIsTheNewLocalTime) {
    // 2024-04-06 16:45 UTC, a quarter of an hour after summer time ended;
    // 2024-10-05 16:45 UTC, a quarter of an hour after it began.
    const QString efu = files.path() + "/times.efu";
    writeFile(efu, "Filename,Size,Date Modified,Date Created,Attributes\r\n"
                   "\"/A.TXT\",1,133568955000000000,,0\r\n"
                   "\"/B.TXT\",1,133726203000000000,,0\r\n");
    QProcessEnvironment local = withHome(other.path());
    local.insert("TZ", "Australia/Adelaide");
    const CliRun imported = cli({"import", efu}, local);
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const auto rows = readCatalogue(other.path() + "/ORVIK.mdb");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][size_t(engine::Field::CDFileDate)], "2024-04-07 02:15:00");
    EXPECT_EQ(rows[1][size_t(engine::Field::CDFileDate)], "2024-10-06 03:15:00");
}

TEST_F(Exchange, aMalformedLineIsNamedWithItsFileLineAndFieldAndNothingIsImported) {
    const QString csv = files.path() + "/first.csv";
    ASSERT_EQ(cli({"export", "--output", csv}).exitCode, 0);
    const QByteArray good = fileBytes(csv);
    const qsizetype third = good.indexOf("MUSIC"); // the first line of the second volume
    auto breaking = [&](const QByteArray& from, const QByteArray& to) {
        QByteArray bad = good;
        return bad.replace(bad.indexOf(from, third), from.size(), to);
    };
    const int line = int(good.left(third).count('\n')) + 1;
    struct Case {
        QByteArray bytes;
        QString said;
    };
    const std::vector<Case> cases = {
        {good + "ORVIK,\"MUSIC,SAME\n", QString(", line %1, field volume: a quote is not closed")},
        {breaking("MUSIC,SAME,", "MUSIC,SAME,,,"), ", line %1: 31 fields where the header has 29"},
        {breaking(",X,,", ",X,2019-13-01 00:00:00,"), ", line %1, field date: \"2019-13-01"},
        {breaking(",X,,", ",X,,12k"), ", line %1, field length: \"12k\" is no length"},
        {breaking(",X,,", "," + QByteArray(4097, 'F') + ",,"),
         ", line %1, field file: longer than the 4096 characters"},
        {breaking(",X,,", ",\xC3\x28,,"), ", line %1, field file: not UTF-8"},
    };
    const auto records = readCatalogue(catalogue()).size();
    for (const Case& bad : cases) {
        writeFile(csv, bad.bytes);
        const int at = bad.said.contains("quote") ? int(bad.bytes.count('\n')) : line;
        EXPECT_CONTAINS(expectRefused({"import", csv}), csv + bad.said.arg(at));
        EXPECT_EQ(readCatalogue(catalogue()).size(), records);
    }

    const QString json = files.path() + "/first.json";
    ASSERT_EQ(cli({"export", "--output", json}).exitCode, 0);
    QByteArray broken = fileBytes(json);
    broken.replace("\"length\": \"12\"", "\"length\": \"twelve\"");
    writeFile(json, broken);
    const int jsonLine = int(broken.left(broken.indexOf("twelve")).count('\n')) + 1;
    EXPECT_CONTAINS(
        expectRefused({"import", json}),
        QString("%1, line %2, field length: \"twelve\" is no length").arg(json).arg(jsonLine));
    EXPECT_EQ(readCatalogue(catalogue()).size(), records);
}

TEST_F(Exchange, anUnknownFormatIsRefusedNamingTheFormatsKnown) {
    const QString text = files.path() + "/list.txt";
    writeFile(text, "a,b\n");
    EXPECT_CONTAINS(expectRefused({"import", text}), "the formats known are csv, json and efu");
    EXPECT_CONTAINS(expectRefused({"export", "--format", "xml"}),
                    "the formats known are csv, json, html and efu");
}

TEST_F(Exchange, anExportThatCannotBeWrittenFailsAndLeavesTheFileThatWasThere) {
    FullDisk disk(files.path() + "/small", 64 * 1024);
    if (!disk.failure().empty()) GTEST_SKIP() << disk.failure();
    // Enough records to fill the disk.
    {
        CatalogueWriter writer(app.state());
        QStringList names;
        for (int i = 0; i < 3000; ++i)
            names << QString("A LONG FILE NAME NUMBER %1 OF MANY.TXT").arg(i);
        writer.addRun("BIG", "BIG", "", {directory("/BIG/", names)});
    }
    const QString target = files.path() + "/small/out.csv";
    writeFile(target, "what was there\n");
    const CliRun run = cli({"export", "--output", target});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("Cannot write " + target)) << run.err.toStdString();
    EXPECT_EQ(fileBytes(target), "what was there\n");
    EXPECT_EQ(QDir(files.path() + "/small").entryList(QDir::Files | QDir::Hidden),
              QStringList({"out.csv"}));
}

TEST_F(Exchange, theWebPageShowsTheVolumesAndFindsFilesInAHeadlessBrowser) {
    const QString browser = QStandardPaths::findExecutable("chromium");
    if (browser.isEmpty())
        GTEST_SKIP() << "chromium is not installed (./build.sh test installs it)";
    const QString page = files.path() + "/catalogue.html";
    ASSERT_EQ(cli({"export", "--output", page}).exitCode, 0);
    const CliRun shown =
        run({browser, "--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=5000",
             "--user-data-dir=" + files.path() + "/profile", "--dump-dom",
             "file://" + page + "#search=j%C3%B3ga"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    const QString dom = shown.out.join('\n');
    for (const char* volume : {"PHOTOS 2019", "ÉTÉ, \"BEST\"", "MUSIC", "SAME"})
        EXPECT_TRUE(dom.contains(QString(volume))) << volume;
    EXPECT_TRUE(dom.contains("1 match")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("<td>BJÖRK – JÓGA.FLAC</td>")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("/MEDIA/CD/ÉTÉ \"2019\"/")) << "its directory";
    EXPECT_FALSE(dom.contains("LISEZ-MOI.TXT</td>")) << "closed volumes show no files";
}

} // namespace
