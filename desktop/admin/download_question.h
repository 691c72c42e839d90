#pragma once

#include <QString>

#include "desktop/data/prompter.h"

namespace tandrel {

inline const QString kDownloadQuestion = QStringLiteral(
    "Warning:  The changes you have made\nwill require download to each lock\nin the facility "
    "to take affect.\n\nContinue?");

// Asks whether changes that every lock must receive may go ahead (No is
// the default).
inline bool ConfirmDownload(Prompter& prompter) {
    return prompter.Ask(kDownloadQuestion, PromptButtons::YesNo, PromptAnswer::No,
                        PromptIcon::Exclamation) == PromptAnswer::Yes;
}

}  // namespace tandrel
