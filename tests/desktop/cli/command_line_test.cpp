#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "desktop/cli/command_line.h"
#include "desktop/cli/operands.h"
#include "desktop/cli/usage_error.h"
#include "desktop/cli/usage_text.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

using namespace cli;

Handler Returns(int code) {
    return [code](Context&) { return code; };
}

// A table of its own, so that the parser's rules are seen apart from the
// commands that happen to exist.
CommandTable Table() {
    CommandTable table;
    table.Add(
        {.name = "door",
         .verbs = {
             {.words = {"add"},
              .summary = "add a door",
              .options = {{"--name", "NAME", "its name"}, {"--quiet", kFlag, "say less"}},
              .run = Returns(1)},
             {.words = {"show"}, .operands = "DOOR", .summary = "one door", .run = Returns(2)},
             {.words = {"bell", "ring"},
              .operands = "DOOR [TIMES]",
              .summary = "ring its bell",
              .run = Returns(3)},
             {.words = {"bell", "mute"},
              .operands = "DOOR...",
              .summary = "mute bells",
              .options = {{"--until", "TIME", "how long", kRequired}},
              .run = Returns(4)}}});
    table.Add({.name = "sweep",
               .verbs = {{.operands = "[ROOM...]", .summary = "sweep", .run = Returns(5)}}});
    return table;
}

class CommandLineTest : public ::testing::Test {
  protected:
    CommandLine Split(const std::vector<std::string>& words) const {
        return SplitCommandLine(table, words);
    }
    // The message the line is refused with; empty when it is taken.
    std::string Refusal(const std::vector<std::string>& words) const {
        try {
            VerbOf(Split(words));
            return {};
        } catch (const UsageError& e) {
            return e.what();
        }
    }
    const Verb& Taken(const std::vector<std::string>& words) const { return VerbOf(Split(words)); }

    CommandTable table = Table();
};

TEST_F(CommandLineTest, AFlagTakesNoValueAndAValueOptionTheNextWordWhereverTheyStand) {
    CommandLine line = Split({"--quiet", "door", "--name", "--quiet", "add", "--file", "f.qfd"});
    EXPECT_EQ(line.words, (std::vector<std::string>{"door", "add"}));
    EXPECT_EQ(line.options.at("--name"), "--quiet");
    EXPECT_EQ(line.options.at("--quiet"), "");
    EXPECT_EQ(line.options.at("--file"), "f.qfd");
    EXPECT_EQ(line.command, table.Find("door"));
    EXPECT_EQ(Taken({"door", "add", "--quiet", "--json"}).summary, "add a door");
}

TEST_F(CommandLineTest, OnlyTheVerbsOwnOptionsAndTheGlobalOnesAreTaken) {
    EXPECT_EQ(Refusal({"door", "add", "--name", "Front", "--yes", "--settings", "s.ini"}), "");
    EXPECT_EQ(Refusal({"door", "show", "Front", "--name", "Back"}), "unknown option --name");
    EXPECT_EQ(Refusal({"door", "add", "--colour", "red"}), "unknown option --colour");
    // The command is still known, so its usage can be shown.
    EXPECT_EQ(Split({"--colour", "door", "add"}).command, table.Find("door"));
    EXPECT_EQ(Refusal({"door", "add", "--name"}), "option --name needs a value");
    EXPECT_EQ(Refusal({"door", "bell", "mute", "Front"}), "door bell mute needs --until TIME");
}

TEST_F(CommandLineTest, VerbsAreFoundWordByWordAndTheRestAreOperands) {
    EXPECT_EQ(Taken({"door", "bell", "ring", "Front"}).summary, "ring its bell");
    EXPECT_EQ(Taken({"door", "bell", "ring", "Front", "3"}).summary, "ring its bell");
    EXPECT_EQ(Taken({"door", "show", "bell"}).summary, "one door");
    EXPECT_EQ(Taken({"sweep"}).summary, "sweep");
    EXPECT_EQ(Taken({"sweep", "hall", "kitchen", "attic"}).summary, "sweep");
    EXPECT_EQ(Refusal({"door"}), "door needs one of: add, show, bell");
    EXPECT_EQ(Refusal({"door", "bell"}), "door bell needs one of: ring, mute");
    EXPECT_EQ(Refusal({"door", "paint"}), "unknown door command 'paint'");
    EXPECT_EQ(Refusal({"door", "bell", "paint"}), "unknown door bell command 'paint'");
    EXPECT_EQ(Refusal({"window"}), "unknown command 'window'");
    EXPECT_EQ(Refusal({"--yes"}), "name a command");
}

TEST_F(CommandLineTest, OperandsAreCountedAsTheUsageShowsThem) {
    EXPECT_EQ(Refusal({"door", "show"}), "door show needs DOOR");
    EXPECT_EQ(Refusal({"door", "show", "Front", "Back"}),
              "door show takes DOOR: 'Back' is one too many");
    EXPECT_EQ(Refusal({"door", "add", "Front"}), "door add takes no more words: 'Front'");
    EXPECT_EQ(Refusal({"door", "bell", "ring", "Front", "3", "4"}),
              "door bell ring takes DOOR [TIMES]: '4' is one too many");
    EXPECT_EQ(Refusal({"door", "bell", "mute", "--until", "9"}), "door bell mute needs DOOR...");
    EXPECT_EQ(Refusal({"door", "bell", "mute", "A", "B", "C", "--until", "9"}), "");
}

TEST_F(CommandLineTest, TheHandlerReadsTheWordsInOrderAndOnlyDeclaredOptions) {
    const CommandLine line = Split({"--json", "door", "bell", "ring", "Front", "2"});
    const Arguments args = ArgumentsOf(line, VerbOf(line));
    EXPECT_EQ(args.Words(), (std::vector<std::string>{"door", "bell", "ring", "Front", "2"}));
    EXPECT_TRUE(args.Has("--json"));
    EXPECT_FALSE(args.Has("--file"));
    // Asking for an option the verb does not declare is a fault of the
    // handler, not of the command line.
    EXPECT_THROW(args.Has("--name"), std::logic_error);
    EXPECT_THROW(args.Text("--until"), std::logic_error);
}

TEST_F(CommandLineTest, HelpIsAskedForByWordOrByOption) {
    EXPECT_TRUE(Split({"help"}).AsksForHelp());
    EXPECT_TRUE(Split({"door", "--help"}).AsksForHelp());
    EXPECT_TRUE(Split({"--help"}).AsksForHelp());
    EXPECT_FALSE(Split({"door", "show", "help"}).AsksForHelp());
}

TEST(OperandsTest, CountedFromTheirUsage) {
    constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();
    auto arity = [](const std::string& operands) {
        const Arity a = ArityOf(operands);
        return std::make_pair(a.min, a.max);
    };
    EXPECT_EQ(arity(""), std::make_pair(std::size_t{0}, std::size_t{0}));
    EXPECT_EQ(arity("S NAME"), std::make_pair(std::size_t{2}, std::size_t{2}));
    EXPECT_EQ(arity("[PATH]"), std::make_pair(std::size_t{0}, std::size_t{1}));
    EXPECT_EQ(arity("USER LOCK|\\LOCATION\\..."), std::make_pair(std::size_t{2}, kAny));
    EXPECT_EQ(arity("[LOCK...]"), std::make_pair(std::size_t{0}, kAny));
    EXPECT_THROW(ArityOf("[A] B"), std::logic_error);
    EXPECT_THROW(ArityOf("A... B"), std::logic_error);
    EXPECT_THROW(ArityOf("[A"), std::logic_error);
}

// Declarations the parser could not follow are refused when they are added.
TEST(CommandTableTest, RefusesDeclarationsTheParserCouldNotFollow) {
    auto verb = [](std::vector<std::string> words, Options options = {}) {
        return Verb{.words = std::move(words), .options = std::move(options), .run = Returns(0)};
    };
    auto refused = [](const char* why, Command command) {
        SCOPED_TRACE(why);
        CommandTable table = Table();
        EXPECT_THROW(table.Add(std::move(command)), std::logic_error);
    };
    refused("a second door", {.name = "door", .verbs = {verb({})}});
    refused("help is no command", {.name = "help", .verbs = {verb({})}});
    refused("no verbs", {.name = "gate", .verbs = {}});
    refused("a verb that starts another",
            {.name = "gate", .verbs = {verb({"open"}), verb({"open", "wide"})}});
    refused("the command and a verb", {.name = "gate", .verbs = {verb({}), verb({"open"})}});
    refused(
        "a flag elsewhere takes a value",
        {.name = "gate", .verbs = {verb({"open"}, {{"--quiet", "LEVEL", "door's is a flag"}})}});
    refused("a value option elsewhere is a flag",
            {.name = "gate", .verbs = {verb({"open"}, {{"--name", kFlag, "door's takes one"}})}});
    refused("a global option",
            {.name = "gate", .verbs = {verb({"open"}, {{"--file", "F", "a global"}})}});
    refused("not an option name",
            {.name = "gate", .verbs = {verb({"open"}, {{"-x", kFlag, "x"}})}});
    refused("a needed flag",
            {.name = "gate", .verbs = {verb({"open"}, {{"--wide", kFlag, "wide", kRequired}})}});
    refused("an option twice",
            {.name = "gate",
             .verbs = {verb({"open"}, {{"--wide", kFlag, "one"}, {"--wide", kFlag, "two"}})}});
    refused(
        "operands that cannot be counted",
        {.name = "gate", .verbs = {{.words = {"open"}, .operands = "[A] B", .run = Returns(0)}}});
    refused("no handler", {.name = "gate", .verbs = {{.words = {"open"}}}});
    CommandTable table = Table();
    table.Add({.name = "gate", .verbs = {verb({"open"}, {{"--name", "NAME", "as door's"}})}});
    EXPECT_NE(table.Find("gate"), nullptr);
}

TEST(UsageTextTest, ShowsEachVerbWithItsOptionsAndExplainsThemOnce) {
    const CommandTable table = Table();
    const std::string usage = CommandUsage(*table.Find("door"));
    EXPECT_EQ(usage,
              "usage: tandrel-cli [global options] door add [--name NAME] [--quiet]\n"
              "         add a door\n"
              "   or: tandrel-cli [global options] door show DOOR\n"
              "         one door\n"
              "   or: tandrel-cli [global options] door bell ring DOOR [TIMES]\n"
              "         ring its bell\n"
              "   or: tandrel-cli [global options] door bell mute DOOR... --until TIME\n"
              "         mute bells\n"
              "options:\n"
              "  --name NAME               its name\n"
              "  --quiet                   say less\n"
              "  --until TIME              how long\n");
    const std::string global = GlobalUsage(table);
    EXPECT_NE(global.find("\n  door add [options]"), std::string::npos);
    EXPECT_NE(global.find("\n  door bell mute DOOR... --until TIME"), std::string::npos);
    EXPECT_NE(global.find("\n  sweep [ROOM...]"), std::string::npos);
    EXPECT_NE(global.find("\n  --password-file FILE"), std::string::npos);
}

}  // namespace
}  // namespace tandrel::testing
