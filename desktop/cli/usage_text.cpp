#include "desktop/cli/usage_text.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <tuple>

#include "desktop/cli/global_options.h"

namespace tandrel::cli {
namespace {

constexpr std::size_t kWidth = 92;
constexpr std::size_t kOptionColumn = 28;
constexpr std::size_t kVerbColumn = 36;
const std::string kProgram = "tandrel-cli [global options] ";
const std::string kContinued(11, ' ');
const std::string kSummary(9, ' ');

std::string OptionText(const Option& option) {
    return option.Flag() ? option.name : option.name + " " + option.value;
}

// The verb's words and operands: "schedule holiday delete S NAME".
std::vector<std::string> Head(const Command& command, const Verb& verb) {
    std::vector<std::string> parts = {command.name};
    parts.insert(parts.end(), verb.words.begin(), verb.words.end());
    if (!verb.operands.empty()) parts.push_back(verb.operands);
    for (const Option& option : verb.options) {
        if (option.required) parts.push_back(OptionText(option));
    }
    return parts;
}

// The parts laid out in lines of kWidth at most; the first line starts
// `first` columns in, the others with `indent`. A part is never split.
std::string Wrapped(const std::vector<std::string>& parts, std::size_t first,
                    const std::string& indent) {
    std::string text;
    std::size_t column = first;
    for (const std::string& part : parts) {
        const bool lineStart = column == first && text.empty();
        if (!lineStart && column + 1 + part.size() > kWidth) {
            text += "\n" + indent;
            column = indent.size();
        } else if (!lineStart) {
            text += ' ';
            ++column;
        }
        text += part;
        column += part.size();
    }
    return text + "\n";
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// "  --name NAME              help", the help starting at `column` and
// wrapped under itself.
std::string Row(const std::string& left, const std::string& help, std::size_t column) {
    std::string text = "  " + left;
    if (text.size() + 2 > column) {
        text += "\n";
        text.append(column, ' ');
    } else {
        text.append(column - text.size(), ' ');
    }
    return text + Wrapped(Words(help), column, std::string(column, ' '));
}

std::string VerbWords(const Verb& verb) {
    std::string words;
    for (const std::string& word : verb.words) words += (words.empty() ? "" : " ") + word;
    return words;
}

using Entry = std::tuple<std::string, std::string, std::string>;  // name, value, help

// The command's options once each, with the verbs that take them.
std::vector<std::pair<Entry, std::string>> EntriesOf(const Command& command) {
    std::vector<std::pair<Entry, std::string>> entries;
    for (const Verb& verb : command.verbs) {
        for (const Option& o : verb.options) {
            const Entry entry{o.name, o.value, o.help};
            auto it = std::find_if(entries.begin(), entries.end(),
                                   [&entry](const auto& e) { return e.first == entry; });
            if (it == entries.end()) {
                entries.push_back({entry, VerbWords(verb)});
            } else {
                it->second += ", " + VerbWords(verb);
            }
        }
    }
    return entries;
}

// Each option of the command once; an option that verbs explain
// differently is shown once for each, naming its verbs.
std::string OptionsOf(const Command& command) {
    const auto entries = EntriesOf(command);
    std::map<std::string, int> explanations;
    for (const auto& [entry, verbs] : entries) ++explanations[std::get<0>(entry)];
    std::string text;
    for (const auto& [entry, verbs] : entries) {
        const auto& [name, value, help] = entry;
        const std::string left = value.empty() ? name : name + " " + value;
        text += Row(left, explanations[name] > 1 ? verbs + ": " + help : help, kOptionColumn);
    }
    return text.empty() ? text : "options:\n" + text;
}

// The verb on one line of the global usage: its operands and required
// options, the others left to `help COMMAND`.
std::string Brief(const Command& command, const Verb& verb) {
    std::vector<std::string> parts = Head(command, verb);
    for (const Option& option : verb.options) {
        if (!option.required) {
            parts.push_back("[options]");
            break;
        }
    }
    std::string head;
    for (const std::string& part : parts) head += (head.empty() ? "" : " ") + part;
    return head;
}

std::string GlobalSynopsis() {
    std::vector<std::string> parts;
    for (const Option& option : GlobalOptions()) parts.push_back("[" + OptionText(option) + "]");
    parts.push_back("COMMAND ...");
    return "usage: tandrel-cli " + Wrapped(parts, 19, kContinued);
}

}  // namespace

std::string VerbUsage(const Command& command, const Verb& verb) {
    std::vector<std::string> parts = Head(command, verb);
    parts.front() = kProgram + parts.front();
    for (const Option& option : verb.options) {
        if (!option.required) parts.push_back("[" + OptionText(option) + "]");
    }
    return Wrapped(parts, 7, kContinued) + kSummary +
           Wrapped(Words(verb.summary), kSummary.size(), kSummary);
}

std::string CommandUsage(const Command& command) {
    std::string text;
    for (const Verb& verb : command.verbs)
        text += (text.empty() ? "usage: " : "   or: ") + VerbUsage(command, verb);
    text += OptionsOf(command);
    if (!command.notes.empty()) text += command.notes + "\n";
    return text;
}

std::string GlobalUsage(const CommandTable& table) {
    std::string text = GlobalSynopsis() + "global options:\n";
    for (const Option& option : GlobalOptions())
        text += Row(OptionText(option), option.help, kOptionColumn);
    text += "commands:\n";
    for (const auto& [name, command] : table) {
        for (const Verb& verb : command.verbs)
            text += Row(Brief(command, verb), verb.summary, kVerbColumn);
    }
    return text + GlobalNotes();
}

}  // namespace tandrel::cli
