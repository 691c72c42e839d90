#pragma once

#include <QString>

#include "desktop/data/prompter.h"

namespace tandrel {

// A page check that failed: shows its message and names the field to focus.
template <typename Field>
bool RefuseField(Prompter& prompter, const QString& message, Field which, Field* field,
                 PromptIcon icon = PromptIcon::Exclamation) {
    prompter.Message(message, icon);
    if (field) *field = which;
    return false;
}

}  // namespace tandrel
