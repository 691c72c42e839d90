#pragma once

#include <QJsonObject>
#include <QString>

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop/app/app_settings.h"
#include "desktop/cli/terminal_prompter.h"
#include "desktop/data/facility_document.h"

namespace tandrel::cli {

// Bad usage; the message is shown with the command's usage text.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A user, lock, location, device or schedule that is not there (or not
// only once): shown as one line, without the usage text.
struct LookupError : UsageError {
    using UsageError::UsageError;
};

// Command-line words: options with values, flags, and the other words in
// order (the command first).
class Arguments {
  public:
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& flags);

    bool Has(const std::string& option) const { return values_.count(option) > 0; }
    QString Text(const std::string& option) const;
    // An option's whole number within [min, max]; `fallback` when absent.
    int Number(const std::string& option, int fallback, int min, int max) const;
    const std::vector<std::string>& Words() const { return words_; }
    QString Word(std::size_t index) const;
    // Options given but not among `known` (globals are always known).
    void RejectOthers(const std::set<std::string>& known) const;

  private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> words_;
};

// What every command works with.
struct Context {
    const Arguments& args;
    std::ostream& out;
    std::ostream& err;
    AppSettings& settings;
    TerminalPrompter& prompter;
    FacilitySession& session;
    CTDXDoc& doc;

    // Opens the facility named by --file, or else the one opened last, with
    // the password given; false when it could not be opened (the reason is
    // already shown).
    bool OpenFacility();
    bool Json() const { return args.Has("--json"); }
};

// A command: its handler returns the exit code.
struct Command {
    std::string usage;  // "user add --last NAME ...", shown in help
    std::set<std::string> flags;
    std::function<int(Context&)> run;
};
using CommandTable = std::map<std::string, Command>;

// "key: value" lines for the fields of an object, leaving out `skip`.
void PrintFields(std::ostream& out, const QJsonObject& object, const QString& skip = {});

// Each group of commands adds its own to the table.
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
