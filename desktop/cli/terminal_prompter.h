#pragma once

#include <QStringList>

#include <deque>
#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "desktop/cli/terminal_progress.h"
#include "desktop/data/prompter.h"

namespace tandrel {

// How the command line answers questions.
enum class AnswerPolicy {
    Terminal,  // asked on the terminal, the default button taken for an empty line
    Yes,       // --yes
    No,        // --no
    Refuse,    // no terminal and neither option: the command stops at its first question
};

// A question that nobody can answer: the input is no terminal and neither
// --yes nor --no was given. Thrown before the question's answer could
// change anything.
struct UnansweredQuestion : std::runtime_error {
    explicit UnansweredQuestion(const QString& question);
};

// The command line's prompter: messages go to the error stream; questions
// follow the answer policy; passwords come from the command line (or a
// file, or the environment) and otherwise from the terminal, unechoed.
class TerminalPrompter : public Prompter {
  public:
    TerminalPrompter(std::istream& in, std::ostream& err, AnswerPolicy policy)
        : in_(in), err_(err), policy_(policy) {}

    // The first password prompt takes this one.
    void OfferPassword(const QString& password) { passwords_.push_back(password); }
    void OfferNewPassword(const PasswordEntry& entry) { newPasswords_.push_back(entry); }
    // Answers one question silently, whatever the policy: for questions
    // that the command's options have answered already.
    void Preset(const QString& question, PromptAnswer answer) { presets_[question] = answer; }
    void SetVerbose(bool verbose) { verbose_ = verbose; }
    // A new password typed on the terminal: whether an empty one is refused
    // (removal is a command of its own), and whether it is kept as typed.
    void SetNewPasswordOptions(bool required, bool keepCompatibility) {
        newPasswordRequired_ = required;
        keepCompatibility_ = keepCompatibility;
    }
    void SetEchoControl(std::function<void(bool)> setEcho) { setEcho_ = std::move(setEcho); }
    void SetProgressStyle(ProgressStyle style) { progressStyle_ = style; }
    bool CanType() const { return policy_ == AnswerPolicy::Terminal; }

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
    // A line typed on the terminal, unechoed when `hidden`; nullopt at the
    // end of the input.
    std::optional<std::string> ReadLine(bool hidden);
    void ClearProgress();

    std::istream& in_;
    std::ostream& err_;
    AnswerPolicy policy_;
    bool verbose_ = false;
    bool passwordOffered_ = false;
    bool newPasswordRequired_ = false;
    bool keepCompatibility_ = false;
    std::function<void(bool)> setEcho_;
    ProgressStyle progressStyle_ = ProgressStyle::None;
    std::deque<QString> passwords_;
    std::deque<PasswordEntry> newPasswords_;
    std::map<QString, PromptAnswer> presets_;
    QStringList failures_;
    TerminalProgress* progress_ = nullptr;  // the line drawn last, while it lives
};

}  // namespace tandrel
