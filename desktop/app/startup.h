#pragma once

#include <QString>

#include <optional>

#include "desktop/app/app_settings.h"
#include "desktop/data/prompter.h"

namespace tandrel {

// The folder new facilities go to: the "FacilitiesFolder" setting, or
// "Facilities" in the user's documents.
QString FacilitiesFolder(const AppSettings& settings);

// Start-up, step by step, without the windows.
//
// The facility to reopen when the command line named none: the last one
// used, if it is still there; a missing one is reported.
std::optional<QString> LastFacilityToReopen(const AppSettings& settings, Prompter& prompter);

// The proximity reader's port (0: the USB reader); unreadable settings are
// reported and read as no port.
std::optional<int> ReaderComPort(AppSettings& settings, Prompter& prompter);

}  // namespace tandrel
