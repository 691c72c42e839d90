#include "desktop/cli/command_table.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "desktop/cli/global_options.h"
#include "desktop/cli/operands.h"

namespace tandrel::cli {
namespace {

[[noreturn]] void Fault(const std::string& what) {
    throw std::logic_error("command declaration: " + what);
}

bool IsOptionName(const std::string& word) {
    return word.size() > 2 && word.rfind("--", 0) == 0;
}

// Whether `a` is `b` or the start of it: the parser could not tell them apart.
bool Starts(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return a.size() <= b.size() && std::equal(a.begin(), a.end(), b.begin());
}

std::string Named(const Command& command, const Verb& verb) {
    std::string name = command.name;
    for (const std::string& word : verb.words) name += " " + word;
    return name;
}

}  // namespace

CommandTable::CommandTable() {
    for (const Option& option : GlobalOptions()) takesValue_[option.name] = !option.Flag();
}

void CommandTable::Add(Command command) {
    if (command.name.empty() || command.name == "help" || command.name.front() == '-')
        Fault("a command cannot be named '" + command.name + "'");
    if (commands_.count(command.name)) Fault("two commands named " + command.name);
    CheckVerbs(command);
    for (const Verb& verb : command.verbs) {
        if (!verb.run) Fault(Named(command, verb) + " has no handler");
        ArityOf(verb.operands);
        CheckOptions(verb);
        NoteOptions(verb);
    }
    commands_.emplace(command.name, std::move(command));
}

const Command* CommandTable::Find(const std::string& name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : &it->second;
}

bool CommandTable::TakesValue(const std::string& option) const {
    auto it = takesValue_.find(option);
    return it != takesValue_.end() && it->second;
}

void CommandTable::CheckVerbs(const Command& command) const {
    if (command.verbs.empty()) Fault(command.name + " has no verbs");
    for (std::size_t i = 0; i < command.verbs.size(); ++i) {
        for (const std::string& word : command.verbs[i].words) {
            if (word.empty() || word.front() == '-')
                Fault(command.name + ": a verb word '" + word + "'");
        }
        for (std::size_t j = i + 1; j < command.verbs.size(); ++j) {
            const auto& a = command.verbs[i].words;
            const auto& b = command.verbs[j].words;
            if (Starts(a, b) || Starts(b, a))
                Fault(Named(command, command.verbs[j]) + " cannot be told apart from " +
                      Named(command, command.verbs[i]));
        }
    }
}

void CommandTable::CheckOptions(const Verb& verb) const {
    std::set<std::string> seen;
    for (const Option& option : verb.options) {
        if (!IsOptionName(option.name)) Fault("an option named '" + option.name + "'");
        if (!seen.insert(option.name).second) Fault(option.name + " declared twice by one verb");
        if (option.required && option.Flag())
            Fault(option.name + " is a flag: it cannot be needed");
        for (const Option& global : GlobalOptions()) {
            if (global.name == option.name) Fault(option.name + " is a global option");
        }
        auto known = takesValue_.find(option.name);
        if (known != takesValue_.end() && known->second == option.Flag())
            Fault(option.name + " is a flag in one place and takes a value in another");
    }
}

void CommandTable::NoteOptions(const Verb& verb) {
    for (const Option& option : verb.options) takesValue_[option.name] = !option.Flag();
}

const CommandTable& Commands() {
    static const CommandTable table = [] {
        CommandTable t;
        AddFacilityCommands(t);
        AddUserCommands(t);
        AddLockCommands(t);
        AddGroupCommands(t);
        AddPropertiesCommands(t);
        AddScheduleCommands(t);
        AddLocationCommands(t);
        AddHandheldCommands(t);
        AddProgrammingCommands(t);
        AddDeviceCommands(t);
        AddAuditCommands(t);
        AddLosCommands(t);
        return t;
    }();
    return table;
}

}  // namespace tandrel::cli
