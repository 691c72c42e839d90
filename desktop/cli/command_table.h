#pragma once

#include <map>
#include <string>

#include "desktop/cli/command.h"

namespace tandrel::cli {

// The commands by name. Adding one checks its declaration (std::logic_error
// on a fault): verbs that cannot be told apart, operands that cannot be
// counted, an option given twice or taken from the global ones, or an
// option name that is a flag in one place and takes a value in another, so
// that every command line splits the same way whichever command it names.
class CommandTable {
  public:
    CommandTable();

    void Add(Command command);
    const Command* Find(const std::string& name) const;
    // Whether an option is declared anywhere (the global ones included), and
    // whether it takes a value.
    bool Declared(const std::string& option) const { return takesValue_.count(option) > 0; }
    bool TakesValue(const std::string& option) const;

    auto begin() const { return commands_.begin(); }
    auto end() const { return commands_.end(); }

  private:
    void CheckVerbs(const Command& command) const;
    void CheckOptions(const Verb& verb) const;
    void NoteOptions(const Verb& verb);

    std::map<std::string, Command> commands_;
    std::map<std::string, bool> takesValue_;
};

// Every command of tandrel-cli.
const CommandTable& Commands();

// Each commands_*.cpp file adds its own commands.
void AddFacilityCommands(CommandTable& table);
void AddUserCommands(CommandTable& table);
void AddLockCommands(CommandTable& table);
void AddGroupCommands(CommandTable& table);
void AddPropertiesCommands(CommandTable& table);
void AddScheduleCommands(CommandTable& table);
void AddLocationCommands(CommandTable& table);
void AddHandheldCommands(CommandTable& table);
void AddProgrammingCommands(CommandTable& table);
void AddDeviceCommands(CommandTable& table);
void AddAuditCommands(CommandTable& table);
void AddLosCommands(CommandTable& table);

}  // namespace tandrel::cli
