#pragma once

#include <QStringList>

#include <deque>
#include <istream>
#include <ostream>

#include "desktop/data/prompter.h"

namespace tandrel {

// The command line's prompter: messages go to the error stream; questions
// are answered Yes under --yes, from the terminal when it is one, and with
// the question's default otherwise. A password given on the command line
// answers the first password prompt.
class TerminalPrompter : public Prompter {
  public:
    TerminalPrompter(std::istream& in, std::ostream& err, bool assumeYes, bool interactive)
        : in_(in), err_(err), assumeYes_(assumeYes), interactive_(interactive) {}

    void OfferPassword(const QString& password) { passwords_.push_back(password); }
    void OfferNewPassword(const PasswordEntry& entry) { newPasswords_.push_back(entry); }
    void SetVerbose(bool verbose) { verbose_ = verbose; }

    void Message(const QString& text, PromptIcon icon, const QString& title) override;
    PromptAnswer Ask(const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer,
                     PromptIcon icon) override;
    std::optional<QString> AskPassword(const QString& title, int maxLength) override;
    std::optional<PasswordEntry> AskNewPassword() override;
    std::unique_ptr<Progress> StartProgress(const QString& title, const QString& text,
                                            int maximum) override;

    // Messages shown with the stop or exclamation icon, for the exit code.
    const QStringList& Failures() const { return failures_; }

  private:
    std::istream& in_;
    std::ostream& err_;
    bool assumeYes_;
    bool interactive_;
    bool verbose_ = false;
    std::deque<QString> passwords_;
    std::deque<PasswordEntry> newPasswords_;
    QStringList failures_;
};

}  // namespace tandrel
