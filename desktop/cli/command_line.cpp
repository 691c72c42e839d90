#include "desktop/cli/command_line.h"

#include <algorithm>

#include "desktop/cli/global_options.h"
#include "desktop/cli/operands.h"
#include "desktop/cli/usage_error.h"

namespace tandrel::cli {
namespace {

bool IsOption(const std::string& word) {
    return word.size() > 2 && word.rfind("--", 0) == 0;
}

bool IsGlobal(const std::string& option) {
    const Options& globals = GlobalOptions();
    return std::any_of(globals.begin(), globals.end(),
                       [&option](const Option& o) { return o.name == option; });
}

const Option* OptionOf(const Verb& verb, const std::string& name) {
    for (const Option& option : verb.options) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

std::string Joined(const std::vector<std::string>& words, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += (i ? " " : "") + words[i];
    return text;
}

// The words after the command that start both the line's and the verb's.
std::size_t Shared(const std::vector<std::string>& words, const Verb& verb) {
    std::size_t n = 0;
    while (n < verb.words.size() && n + 1 < words.size() && verb.words[n] == words[n + 1]) ++n;
    return n;
}

// No verb's words are all there: name the verbs that were possible at the
// first word that matched none of them.
[[noreturn]] void NoVerb(const CommandLine& line) {
    std::size_t deepest = 0;
    for (const Verb& verb : line.command->verbs)
        deepest = std::max(deepest, Shared(line.words, verb));
    const std::string given = Joined(line.words, deepest + 1);
    if (deepest + 1 < line.words.size())
        throw UsageError("unknown " + given + " command '" + line.words[deepest + 1] + "'");
    std::string choices;
    for (const Verb& verb : line.command->verbs) {
        if (Shared(line.words, verb) != deepest) continue;
        const std::string& next = verb.words[deepest];
        if (choices.find(" " + next + ",") == std::string::npos) choices += " " + next + ",";
    }
    choices.pop_back();
    throw UsageError(given + " needs one of:" + choices);
}

const Verb& FindVerb(const CommandLine& line) {
    for (const Verb& verb : line.command->verbs) {
        if (Shared(line.words, verb) == verb.words.size()) return verb;
    }
    NoVerb(line);
}

std::string VerbName(const CommandLine& line, const Verb& verb) {
    return Joined(line.words, verb.words.size() + 1);
}

void CheckOptions(const CommandLine& line, const Verb& verb) {
    for (const auto& [name, value] : line.options) {
        if (!IsGlobal(name) && !OptionOf(verb, name)) throw UsageError("unknown option " + name);
    }
}

void CheckRequired(const CommandLine& line, const Verb& verb) {
    for (const Option& option : verb.options) {
        if (option.required && !line.Has(option.name))
            throw UsageError(VerbName(line, verb) + " needs " + option.name + " " + option.value);
    }
}

void CheckOperands(const CommandLine& line, const Verb& verb) {
    const std::size_t first = verb.words.size() + 1;
    const std::size_t given = line.words.size() - first;
    const Arity arity = ArityOf(verb.operands);
    if (given < arity.min) throw UsageError(VerbName(line, verb) + " needs " + verb.operands);
    if (given <= arity.max) return;
    const std::string extra = line.words[first + arity.max];
    if (verb.operands.empty())
        throw UsageError(VerbName(line, verb) + " takes no more words: '" + extra + "'");
    throw UsageError(VerbName(line, verb) + " takes " + verb.operands + ": '" + extra +
                     "' is one too many");
}

}  // namespace

bool CommandLine::AsksForHelp() const {
    return Has("--help") || (!words.empty() && words[0] == "help");
}

CommandLine SplitCommandLine(const CommandTable& table, const std::vector<std::string>& words) {
    CommandLine line;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!IsOption(word)) {
            line.words.push_back(word);
        } else if (!table.Declared(word)) {
            if (line.problem.empty()) line.problem = "unknown option " + word;
        } else if (!table.TakesValue(word)) {
            line.options[word] = "";
        } else if (i + 1 < words.size()) {
            line.options[word] = words[++i];
        } else if (line.problem.empty()) {
            line.problem = "option " + word + " needs a value";
        }
    }
    if (!line.words.empty()) line.command = table.Find(line.words[0]);
    return line;
}

const Verb& VerbOf(const CommandLine& line) {
    if (!line.problem.empty()) throw UsageError(line.problem);
    if (line.words.empty()) throw UsageError("name a command");
    if (!line.command) throw UsageError("unknown command '" + line.words[0] + "'");
    const Verb& verb = FindVerb(line);
    CheckOptions(line, verb);
    CheckOperands(line, verb);
    CheckRequired(line, verb);
    return verb;
}

Arguments ArgumentsOf(const CommandLine& line, const Verb& verb) {
    std::set<std::string> declared;
    for (const Option& option : GlobalOptions()) declared.insert(option.name);
    for (const Option& option : verb.options) declared.insert(option.name);
    return Arguments(line.words, line.options, std::move(declared));
}

}  // namespace tandrel::cli
