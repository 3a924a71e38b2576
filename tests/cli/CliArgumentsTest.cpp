// The command line of orvik-cli, in process: the parser, and the usage texts
// and manual page that say what it takes.
#include "cli/CliArguments.h"
#include "cli/CliSyntax.h"
#include "cli/CliUsage.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace orvik::cli;

namespace {

// The message a line is refused with, or "" when it is taken.
QString refusal(const QStringList& line) {
    try {
        parseArguments(line);
    } catch (const std::invalid_argument& bad) {
        return QString::fromUtf8(bad.what());
    }
    return {};
}

// Whether the parser takes `option` (with a value it accepts) after `command`.
bool takes(const CommandSyntax& command, const QString& option) {
    QStringList line{command.name};
    if (command.argument) line << "x";
    if (command.command == Command::Add) line += {"--description", "d"};
    line << option;
    const OptionSyntax* known = findOption(option, EveryCommand | InPlaceOfCommand);
    if (known && known->value)
        line << (option == "--width" ? "5" : option == "--format" ? "tsv" : "x.pdf");
    return !refusal(line).startsWith("unknown option");
}

QSet<QString> optionNames() {
    QSet<QString> names;
    for (const OptionSyntax& option : optionSyntax())
        names << option.name;
    return names;
}

} // namespace

// The options orvik-cli's process tests use show there in what the commands
// do; these are the others.
TEST(CliArguments, eachOptionReachesItsOwnField) {
    const CliArguments add = parseArguments(
        {"add", "/media/cd", "--description", "PCW", "--no-sizes", "--extensions", ".txt"});
    EXPECT_TRUE(add.noSizes && !add.noDates);
    EXPECT_EQ(add.extensions, ".txt");
    EXPECT_EQ(
        parseArguments({"add", "p", "--no-filter", "--filter", "--description", ""}).useFilter,
        true);

    const CliArguments find = parseArguments({"find", "--width", "40", "*.mp3", "--no-paths"});
    EXPECT_EQ(find.argument, "*.mp3");
    EXPECT_EQ(find.width, 40);
    EXPECT_TRUE(find.noPaths);
    EXPECT_FALSE(find.help || find.catalogue || find.print);
    EXPECT_FALSE(parseArguments({"ls", "12"}).directory);
}

TEST(CliArguments, aValueFollowsItsOptionAfterAnEqualsSignAsWellAsAsTheNextArgument) {
    const CliArguments joined = parseArguments(
        {"add", "p", "--description=a=b", "--keywords=", "--extensions=.txt", "--catalogue=games"});
    EXPECT_EQ(joined.description, "a=b");
    EXPECT_EQ(joined.keywords, "");
    EXPECT_EQ(joined.extensions, ".txt");
    EXPECT_EQ(joined.catalogue, "games");
    const CliArguments find =
        parseArguments({"find", "x", "--width=7", "--format=tsv", "--print=-.pdf"});
    EXPECT_EQ(find.width, 7);
    EXPECT_EQ(find.format, Format::Tsv);
    EXPECT_EQ(find.print, "-.pdf");
    // A value of its own is taken whatever it looks like.
    EXPECT_EQ(parseArguments({"add", "p", "--description", "--odd"}).description, "--odd");
}

TEST(CliArguments, doubleDashEndsTheOptionsSoAnArgumentMayBeginWithDashes) {
    EXPECT_EQ(parseArguments({"find", "--", "--odd"}).argument, "--odd");
    const CliArguments help = parseArguments({"find", "--no-paths", "--", "-h"});
    EXPECT_EQ(help.argument, "-h");
    EXPECT_TRUE(help.noPaths);
    EXPECT_FALSE(help.help);
    EXPECT_EQ(parseArguments({"find", "x", "--"}).argument, "x");
    EXPECT_EQ(parseArguments({"find", "--", "--"}).argument, "--");
    EXPECT_EQ(refusal({"find", "--"}), "find needs a TEXT (try find --help)");
    EXPECT_EQ(refusal({"find", "--", "a", "--width", "3"}),
              "unexpected argument '--width' (try find --help)");
}

TEST(CliArguments, anOptionTheCommandDoesNotTakeIsRefusedNamingTheCommand) {
    EXPECT_EQ(refusal({"find", "x", "--bogus"}),
              "unknown option '--bogus' for find (try find --help)");
    EXPECT_EQ(refusal({"find", "x", "--description", "y"}),
              "unknown option '--description' for find (try find --help)");
    EXPECT_EQ(refusal({"show", "1", "--print=a.pdf"}),
              "unknown option '--print=a.pdf' for show (try show --help)");
    EXPECT_EQ(refusal({"create", "a", "--catalogue", "b"}),
              "unknown option '--catalogue' for create (try create --help)");
    EXPECT_EQ(refusal({"add", "p", "--description", "d", "--no-dates=yes"}),
              "unknown option '--no-dates=yes' for add (try add --help)")
        << "a flag takes no value";
    EXPECT_EQ(refusal({"volumes", "--version"}),
              "unknown option '--version' for volumes (try volumes --help)");
}

TEST(CliArguments, anOptionAtTheEndWithoutItsValueIsRefused) {
    EXPECT_EQ(refusal({"find", "x", "--width"}), "--width needs a value");
    EXPECT_EQ(refusal({"volumes", "--catalogue"}), "--catalogue needs a value");
    EXPECT_EQ(refusal({"add", "p", "--description"}), "--description needs a value");
}

TEST(CliArguments, aValueTheOptionCannotUseIsRefused) {
    for (const char* width : {"0", "-3", "abc", ""})
        EXPECT_EQ(refusal({"find", "x", "--width", width}),
                  "--width takes a whole number of characters");
    EXPECT_EQ(refusal({"find", "x", "--format=xml"}), "--format takes text, tsv or json");
    EXPECT_EQ(refusal({"find", "x", "--print", ""}), "--print needs a file name");
    EXPECT_EQ(refusal({"find", "x", "--print="}), "--print needs a file name");
}

TEST(CliArguments, aCommandMissingWhatItNeedsOrGivenTooMuchIsRefused) {
    EXPECT_EQ(refusal({"frobnicate"}), "unknown command 'frobnicate' (try --help)");
    EXPECT_EQ(refusal({"--catalogue", "x", "find"}), "unknown command '--catalogue' (try --help)");
    EXPECT_EQ(refusal({"show"}), "show needs a BOOKMARK (try show --help)");
    EXPECT_EQ(refusal({"add", "--description", "d"}), "add needs a PATH (try add --help)");
    EXPECT_EQ(refusal({"add", "p"}), "add needs --description TEXT");
    EXPECT_EQ(refusal({"find", "x", "y"}), "unexpected argument 'y' (try find --help)");
    EXPECT_EQ(refusal({"volumes", "y"}), "unexpected argument 'y' (try volumes --help)");
    EXPECT_EQ(refusal({"ls", "1", "a", "b"}), "unexpected argument 'b' (try ls --help)");
    EXPECT_EQ(refusal({"find", "-x"}), "") << "one dash is no option";
}

TEST(CliArguments, helpAndVersionStandForACommandAndHelpFollowsAnyCommand) {
    EXPECT_EQ(parseArguments({}).command, Command::Help);
    EXPECT_EQ(parseArguments({"-h", "--bogus"}).command, Command::Help);
    EXPECT_TRUE(parseArguments({"--version", "x"}).version);
    EXPECT_EQ(refusal({"--version=1"}), "unknown command '--version=1' (try --help)");
    for (const QStringList& line : QList<QStringList>{{"add", "--help"},
                                                      {"add", "-h", "--keywords", "k"},
                                                      {"create", "--help"},
                                                      {"help", "--help"}}) {
        const CliArguments args = parseArguments(line);
        EXPECT_TRUE(args.help) << line.join(' ').toStdString();
        EXPECT_EQ(args.commandName, line[0]);
    }
}

// Each option line of a usage text "  --name VALUE  help"; the parser takes
// the option after that command exactly when its usage lists it.
TEST(CliUsage, eachCommandsUsageListsExactlyTheOptionsItsParserTakes) {
    const QRegularExpression optionLine("^  (--[a-z-]+)( [A-Za-z.]+)?  ",
                                        QRegularExpression::MultilineOption);
    for (const CommandSyntax& command : commandSyntax()) {
        if (command.command == Command::Help) continue;
        QSet<QString> listed, taken;
        for (const auto& match : optionLine.globalMatch(usage(command.command))) {
            listed << match.captured(1);
            const OptionSyntax* option = findOption(match.captured(1), bit(command.command));
            ASSERT_TRUE(option) << command.name << " " << match.captured(1).toStdString();
            EXPECT_EQ(match.captured(2).trimmed(), QString(option->value ? option->value : ""));
        }
        for (const QString& name : optionNames())
            if (takes(command, name)) taken << name;
        EXPECT_EQ(listed, taken) << command.name;
    }
}

// The manual page's OPTIONS names each option with its value and "taken by"
// the commands whose parser takes it.
TEST(CliManual, manualPageListsEachOptionWithItsValueAndTheCommandsThatTakeIt) {
    QFile page(CLI_MANUAL);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(page.readAll());
    text = text.mid(text.indexOf("\n.SH OPTIONS\n"));
    text = text.left(text.indexOf("\n.SH ", 1)).replace("\\-", "-");
    const QStringList entries = text.split("\n.TP\n").mid(1);

    QSet<QString> listed;
    const QRegularExpression heading(R"re(^\.B[IR]? (--[a-z-]+)(?: " ([A-Za-z.]+)")?)re");
    const QRegularExpression command(R"(\\fB([a-z]+)\\fR)");
    for (const QString& entry : entries) {
        const auto match = heading.match(entry);
        ASSERT_TRUE(match.hasMatch()) << entry.toStdString();
        const QString name = match.captured(1);
        listed << name;
        const OptionSyntax* option = findOption(name, EveryCommand | InPlaceOfCommand);
        ASSERT_TRUE(option) << name.toStdString();
        EXPECT_EQ(match.captured(2), QString(option->value ? option->value : ""))
            << name.toStdString();

        const qsizetype at = entry.indexOf("taken by ");
        const QString takers = at < 0 ? QString() : entry.mid(at);
        QSet<QString> named;
        for (const auto& m : command.globalMatch(takers))
            named << m.captured(1);
        for (const CommandSyntax& c : commandSyntax()) {
            const bool said = takers.startsWith("taken by every command") ? !named.contains(c.name)
                                                                          : named.contains(c.name);
            EXPECT_EQ(said, takes(c, name)) << name.toStdString() << " " << c.name;
        }
    }
    EXPECT_EQ(listed, optionNames());
}
