#pragma once

#include <QJsonObject>
#include <QString>

#include <ostream>

#include "desktop/app/app_settings.h"
#include "desktop/cli/arguments.h"
#include "desktop/cli/command.h"
#include "desktop/cli/command_table.h"
#include "desktop/cli/terminal_prompter.h"
#include "desktop/cli/usage_error.h"
#include "desktop/data/facility_document.h"

namespace tandrel::cli {

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

// "key: value" lines for the fields of an object, leaving out `skip`.
void PrintFields(std::ostream& out, const QJsonObject& object, const QString& skip = {});

}  // namespace tandrel::cli
