#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "desktop/cli/command_line.h"
#include "desktop/cli/global_options.h"
#include "desktop/cli/operands.h"
#include "desktop/cli/usage_error.h"
#include "desktop/cli/usage_text.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

using namespace cli;

std::string NameOf(const Command& command, const Verb& verb) {
    std::string name = command.name;
    for (const std::string& word : verb.words) name += " " + word;
    return name;
}

// The shortest line that names the verb: its words, as many operands as
// it needs and the options it cannot do without.
std::vector<std::string> ShortestLine(const Command& command, const Verb& verb) {
    std::vector<std::string> words = {command.name};
    words.insert(words.end(), verb.words.begin(), verb.words.end());
    words.resize(words.size() + ArityOf(verb.operands).min, "X");
    for (const Option& option : verb.options) {
        if (option.required) words.insert(words.end(), {option.name, "VALUE"});
    }
    return words;
}

std::vector<std::string> With(std::vector<std::string> words, const std::string& option) {
    words.push_back(option);
    if (Commands().TakesValue(option)) words.push_back("VALUE");
    return words;
}

std::string OptionText(const Option& option) {
    return option.Flag() ? option.name : option.name + " " + option.value;
}

// Every option some verb declares.
std::set<std::string> AllOptions() {
    std::set<std::string> names;
    for (const auto& [name, command] : Commands()) {
        for (const Verb& verb : command.verbs) {
            for (const Option& option : verb.options) names.insert(option.name);
        }
    }
    return names;
}

// The usage error a line is refused with; empty when it is taken.
std::string Refusal(const std::vector<std::string>& words) {
    try {
        VerbOf(SplitCommandLine(Commands(), words));
        return {};
    } catch (const UsageError& e) {
        return e.what();
    }
}

TEST(DeclaredCommandsTest, EveryDeclaredOptionIsTakenAndShownInItsVerbsUsage) {
    for (const auto& [name, command] : Commands()) {
        const std::string usage = CommandUsage(command);
        for (const Verb& verb : command.verbs) {
            const std::string verbUsage = VerbUsage(command, verb);
            EXPECT_NE(usage.find(verbUsage), std::string::npos) << NameOf(command, verb);
            for (const Option& option : verb.options) {
                SCOPED_TRACE(NameOf(command, verb) + " " + option.name);
                const CommandLine line =
                    SplitCommandLine(Commands(), With(ShortestLine(command, verb), option.name));
                const Verb& taken = VerbOf(line);
                ASSERT_EQ(&taken, &verb);
                const Arguments args = ArgumentsOf(line, taken);
                EXPECT_TRUE(args.Has(option.name));
                EXPECT_EQ(args.Text(option.name).toStdString(), option.Flag() ? "" : "VALUE");
                const std::string shown =
                    option.required ? OptionText(option) : "[" + OptionText(option) + "]";
                EXPECT_NE(verbUsage.find(shown), std::string::npos) << verbUsage;
                EXPECT_NE(usage.find("\n  " + OptionText(option)), std::string::npos) << usage;
            }
        }
    }
}

TEST(DeclaredCommandsTest, AnOptionTheVerbDoesNotDeclareIsRefused) {
    std::set<std::string> all = AllOptions();
    all.insert("--no-such-option");
    for (const auto& [name, command] : Commands()) {
        for (const Verb& verb : command.verbs) {
            std::set<std::string> own;
            for (const Option& option : verb.options) own.insert(option.name);
            std::string taken;
            for (const std::string& option : all) {
                if (own.count(option)) continue;
                if (Refusal(With(ShortestLine(command, verb), option)) !=
                    "unknown option " + option)
                    taken += " " + option;
            }
            EXPECT_EQ(taken, "") << NameOf(command, verb) << " takes what it does not declare";
        }
    }
}

TEST(DeclaredCommandsTest, EveryVerbIsReachedByItsWordsAndCountsItsOperands) {
    for (const auto& [name, command] : Commands()) {
        for (const Verb& verb : command.verbs) {
            SCOPED_TRACE(NameOf(command, verb));
            const std::vector<std::string> shortest = ShortestLine(command, verb);
            EXPECT_EQ(&VerbOf(SplitCommandLine(Commands(), shortest)), &verb);
            const Arity arity = ArityOf(verb.operands);
            if (arity.min > 0) {
                std::vector<std::string> fewer = shortest;
                fewer.erase(fewer.begin() + static_cast<long>(1 + verb.words.size()));
                EXPECT_NE(Refusal(fewer), "");
            }
            for (const Option& option : verb.options) {
                if (!option.required) continue;
                std::vector<std::string> without = shortest;
                const auto given = std::find(without.begin(), without.end(), option.name);
                without.erase(given, given + 2);
                EXPECT_EQ(Refusal(without), NameOf(command, verb) + " needs " + OptionText(option));
            }
            if (arity.max > 100) continue;
            std::vector<std::string> more = {command.name};
            more.insert(more.end(), verb.words.begin(), verb.words.end());
            more.resize(more.size() + arity.max + 1, "X");
            EXPECT_NE(Refusal(more), "");
        }
    }
}

TEST(DeclaredCommandsTest, TheGlobalUsageListsEveryVerbAndEveryGlobalOption) {
    const std::string usage = GlobalUsage(Commands());
    for (const auto& [name, command] : Commands()) {
        for (const Verb& verb : command.verbs)
            EXPECT_NE(usage.find("\n  " + NameOf(command, verb)), std::string::npos)
                << NameOf(command, verb);
    }
    for (const Option& option : GlobalOptions()) {
        EXPECT_NE(usage.find("[" + OptionText(option) + "]"), std::string::npos) << option.name;
        EXPECT_NE(usage.find("\n  " + OptionText(option) + " "), std::string::npos) << option.name;
    }
    EXPECT_EQ(RunCapturing({"help"}).out, usage);
    EXPECT_EQ(RunCapturing({"--help"}).out, usage);
}

TEST(DeclaredCommandsTest, HelpAndRefusalsShowTheUsageOfTheCommandGiven) {
    for (const auto& [name, command] : Commands()) {
        const CliResult help = RunCapturing({"help", name});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out, CommandUsage(command));
        EXPECT_EQ(RunCapturing({name, "--help"}).out, help.out);
        const CliResult refused = RunCapturing({name, "--no-such-option"});
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_EQ(refused.err, "tandrel-cli: unknown option --no-such-option\n" + help.out);
    }
    const CliResult flag = RunCapturing({"user", "list", "--csv", "--file", "none.qfd"});
    EXPECT_EQ(flag.exitCode, 2);
    EXPECT_TRUE(
        flag.Said("tandrel-cli: unknown option --csv\nusage: tandrel-cli [global "
                  "options] user add"))
        << flag.err;
}

}  // namespace
}  // namespace tandrel::testing
