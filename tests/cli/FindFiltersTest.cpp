// orvik-cli find with filters, a regular expression and readable lengths, on
// catalogues from real adds of trees whose files have known sizes and dates.
#include "tests/support/Processes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QTemporaryDir>

using namespace orvik;
using namespace orvik::test;

namespace {

// A file of `size` bytes (sparse) last modified at the local time `modified`.
void makeFile(const QString& path, qint64 size, const char* modified) {
    test::makeFile(path);
    ASSERT_TRUE(QFile::resize(path, size)) << path.toStdString();
    const time_t seconds =
        QDateTime::fromString(QLatin1String(modified), "yyyy-MM-dd HH:mm:ss").toSecsSinceEpoch();
    const utimbuf times{seconds, seconds};
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
}

class FindFilters : public ::testing::Test {
protected:
    void SetUp() override {
        const QString music = disc.path() + "/music";
        makeFile(music + "/readme.txt", 10, "2020-01-01 00:00:00");
        makeFile(music + "/songs/song.mp3", 5 * 1024 * 1024, "2008-12-31 23:59:59");
        makeFile(music + "/songs/tune.FLAC", 1200 * 1024, "2009-01-01 00:00:00");
        makeFile(music + "/songs/archive.mp3.zip", 3 * 1024, "2009-06-30 18:00:00");
        makeFile(music + "/songs/noext", 1024, "2015-01-01 00:00:00");
        makeFile(music + "/video/big.mkv", 2LL * 1024 * 1024 * 1024, "2012-05-05 10:00:00");
        ASSERT_EQ(cli({"add", music, "--description", "Music 2009", "--keywords", "rock pop",
                       "--no-filter"})
                      .exitCode,
                  0);
        // A volume whose records hold neither lengths nor dates.
        const QString backup = disc.path() + "/backup";
        makeFile(backup + "/letters/a.mp3", 4096, "2010-01-01 00:00:00");
        makeFile(backup + "/letters/b.txt", 4096, "2010-01-01 00:00:00");
        ASSERT_EQ(cli({"add", backup, "--description", "Backup", "--keywords", "tax", "--no-filter",
                       "--no-dates", "--no-sizes"})
                      .exitCode,
                  0);
        all = cli({"find", "."}).out;
        ASSERT_EQ(all.size(), 8);
    }

    // The lines of the unfiltered match that show the files named, in its order.
    QStringList only(const QStringList& names) const {
        QStringList lines;
        for (const QString& line : all)
            for (const QString& name : names)
                if (line.contains("/" + name + " ")) lines << line;
        return lines;
    }

    // Each case's lines are those of the files it names, in the file match's order.
    void expectFiles(const std::vector<std::pair<QStringList, QStringList>>& cases) {
        for (const auto& [arguments, names] : cases) {
            SCOPED_TRACE(arguments.join(' ').toStdString());
            const CliRun found = cli(QStringList{"find"} + arguments);
            EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
            EXPECT_EQ(found.out, only(names));
            EXPECT_EQ(found.out.size(), names.size());
        }
    }

    TestApp app;
    QTemporaryDir disc;
    QStringList all; // every file, as "find ." lists them
};

} // namespace

TEST_F(FindFilters, sizeFiltersKeepFilesWithinTheirBoundsAndNeverThoseWithoutALength) {
    expectFiles({
        {{"--min-size", "1M"}, {"SONG.MP3", "TUNE.FLAC", "BIG.MKV"}},
        {{"--min-size", "1.5g"}, {"BIG.MKV"}},
        {{"--max-size", "3K"}, {"README.TXT", "ARCHIVE.MP3.ZIP", "NOEXT"}},
        {{"--min-size", "1024", "--max-size", "3kb"}, {"ARCHIVE.MP3.ZIP", "NOEXT"}},
        {{"--min-size", "5M", "--max-size", "5M"}, {"SONG.MP3"}},
        {{"--max-size", "1T"},
         {"README.TXT", "SONG.MP3", "TUNE.FLAC", "ARCHIVE.MP3.ZIP", "NOEXT", "BIG.MKV"}},
    });
}

TEST_F(FindFilters, dateFiltersTakeTheStartOfWhatTheDateNamesAndNeverPassARecordWithoutADate) {
    expectFiles({
        {{"--newer", "2009"}, {"README.TXT", "TUNE.FLAC", "ARCHIVE.MP3.ZIP", "NOEXT", "BIG.MKV"}},
        {{"--older", "2009"}, {"SONG.MP3"}},
        {{"--newer", "2009", "--older", "2010"}, {"TUNE.FLAC", "ARCHIVE.MP3.ZIP"}},
        {{"--newer", "2009-06-30 18:00", "--older", "2012-05-05T10:00:01"},
         {"ARCHIVE.MP3.ZIP", "BIG.MKV"}},
        {{"--older", "2009-01-01 00:00:01"}, {"SONG.MP3", "TUNE.FLAC"}},
    });
}

TEST_F(FindFilters, extensionFilterMatchesTheLastExtensionInAnyCase) {
    expectFiles({
        {{"--ext", "mp3,flac"}, {"SONG.MP3", "TUNE.FLAC", "A.MP3"}},
        {{"--ext", ".ZIP"}, {"ARCHIVE.MP3.ZIP"}},
        {{"--ext", "Txt, mkv"}, {"README.TXT", "BIG.MKV", "B.TXT"}},
    });
}

TEST_F(FindFilters, volumeAndKeywordsFiltersMatchTheOwningVolumeByContainedText) {
    expectFiles({
        {{"--volume", "back"}, {"A.MP3", "B.TXT"}},
        {{"--volume", "no_name", "--ext", "txt"}, {"README.TXT", "B.TXT"}},
        {{"--keywords", "Pop"},
         {"README.TXT", "SONG.MP3", "TUNE.FLAC", "ARCHIVE.MP3.ZIP", "NOEXT", "BIG.MKV"}},
    });
}

TEST_F(FindFilters, filtersCombineWithThePatternAndEachOther) {
    expectFiles({
        {{"mp3", "--ext", "zip,flac", "--newer", "2009"}, {"ARCHIVE.MP3.ZIP"}},
        {{"*.mp3.", "--keywords", "tax"}, {"A.MP3"}},
        {{"*.mp3.", "--max-size", "6M", "--volume", "music"}, {"SONG.MP3"}},
    });
    // A directory matched by its path lists its first record, filtered as any other.
    const QStringList songs = cli({"find", "songs"}).out;
    ASSERT_EQ(songs.size(), 1);
    EXPECT_EQ(
        cli({"find", "songs", "--ext", songs[0].contains("SONG.MP3") ? "flac" : "mp3"}).exitCode,
        1);
}

TEST_F(FindFilters, aFilterNothingPassesIsAnEmptyResult) {
    for (const QStringList& arguments : {QStringList{"--min-size", "3G"},
                                         {"--ext", "doc"},
                                         {"--newer", "2030"},
                                         {"--volume", "nothing"},
                                         {"--regex", "^zzz"},
                                         {"readme", "--older", "2000"}}) {
        const CliRun found = cli(QStringList{"find"} + arguments);
        EXPECT_EQ(found.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(found.out.isEmpty());
        EXPECT_CONTAINS(found.err, "No matches found");
    }
}

TEST_F(FindFilters, badFiltersAreOneLineErrorsAndRunNothing) {
    const struct {
        QStringList arguments;
        const char* says;
    } cases[] = {
        {{"--min-size", "3X"}, "--min-size 3X: unknown unit 'X'"},
        {{"--max-size", "12 parsecs"}, "unknown unit 'parsecs'"},
        {{"--min-size", "-1K"}, "--min-size -1K: a size is never negative"},
        {{"--max-size", "lots"}, "--max-size lots: not a size"},
        {{"--min-size", "2G", "--max-size", "1G"}, "--min-size 2G is above --max-size 1G"},
        {{"--newer", "2009-02-29"}, "--newer 2009-02-29: no such date"},
        {{"--older", "2009-12-01 24:00"}, "--older 2009-12-01 24:00: no such date"},
        {{"--newer", "yesterday"}, "--newer yesterday: no such date"},
        {{"--newer", "2010", "--older", "2009"}, "--newer 2010 is not before --older 2009"},
        {{"--regex", "song(s"}, "--regex 'song(s': not a regular expression"},
        {{"--ext", " , "}, "--ext needs at least one extension"},
        {{"--volume", ""}, "--volume needs a text"},
        {{"readme", "--regex", "read"}, "find takes TEXT or --regex EXPR, not both"},
    };
    // Named after a catalogue that does not exist: the filters are refused before it is looked for.
    for (const auto& c : cases)
        EXPECT_CONTAINS(expectRefused(QStringList{"find", "--catalogue", "missing"} + c.arguments),
                        c.says);
}

// Each expression lists what the pattern of the same meaning lists, with a
// literal run for the file index and without one.
TEST_F(FindFilters, aRegularExpressionListsWhatThePatternOfTheSameMeaningLists) {
    const std::pair<const char*, const char*> same[] = {
        {"readme", "readme"}, {"*.mp3.", R"(\.mp3$)"}, {"songs", "SONGS"},
        {"s?n", "s.n"},       {"*#.", R"(\d$)"},       {"*t.", "t$"},
    };
    for (const auto& [pattern, expression] : same) {
        SCOPED_TRACE(expression);
        const CliRun byPattern = cli({"find", pattern});
        ASSERT_FALSE(byPattern.out.isEmpty());
        const CliRun byExpression = cli({"find", "--regex", expression});
        EXPECT_EQ(byExpression.exitCode, 0);
        EXPECT_EQ(byExpression.out, byPattern.out);
    }
    // An alternation or an optional part is matched whole, never through a part of it.
    EXPECT_EQ(cli({"find", "--regex", "^(tune|big)\\.", "--max-size", "1.5M"}).out,
              only({"TUNE.FLAC"}));
    EXPECT_EQ(cli({"find", "--regex", "^(xyz)?song"}).out, only({"SONG.MP3"}));
}

TEST_F(FindFilters, humanLengthsReadAsPowersOf1024InTextLinesOnly) {
    const CliRun human = cli({"find", "--human", "--volume", "music"});
    const QStringList expected[] = {{"README.TXT", "10 B "},  {"SONG.MP3", "5.0 MB "},
                                    {"TUNE.FLAC", "1.2 MB "}, {"ARCHIVE.MP3.ZIP", "3.0 KB "},
                                    {"NOEXT", "1.0 KB "},     {"BIG.MKV", "2.0 GB "}};
    ASSERT_EQ(human.out.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_CONTAINS(human.out[i], "/" + expected[i][0] + " ");
        EXPECT_CONTAINS(human.out[i], expected[i][1]);
        // Only the length column differs from the digits' line.
        const QString digits = only({expected[i][0]}).value(0);
        EXPECT_EQ(human.out[i].size(), digits.size());
        EXPECT_EQ(human.out[i].left(74), digits.left(74));
    }
    const CliRun tsv = cli({"find", "big", "--human", "--format", "tsv"});
    EXPECT_CONTAINS(tsv.out.value(1), "\t2147483648\t");
    EXPECT_CONTAINS(only({"BIG.MKV"}).value(0), " 214748364 ");
}
