#pragma once

#include <QString>

namespace tandrel {

// What did not happen because a question was answered No, in a line the
// command line prints after the answer; empty for questions whose No needs
// no explaining.
QString DeclinedAnswerText(const QString& question);

}  // namespace tandrel
