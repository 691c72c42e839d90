#pragma once

#include <QStringList>

#include <deque>
#include <variant>

#include "desktop/data/prompter.h"

namespace tandrel {

// A prompter for tests: answers come from a script, in order, and every
// text shown is recorded so a test can check it exactly. Running out of
// answers fails loudly rather than guessing.
class ScriptedPrompter : public Prompter {
  public:
    using Reply = std::variant<PromptAnswer, std::optional<QString>, std::optional<PasswordEntry>>;

    ScriptedPrompter& Answer(PromptAnswer answer);
    ScriptedPrompter& Password(std::optional<QString> password);
    ScriptedPrompter& NewPassword(std::optional<PasswordEntry> entry);

    void Message(const QString& text, PromptIcon icon, const QString& title) override;
    PromptAnswer Ask(const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer,
                     PromptIcon icon) override;
    std::optional<QString> AskPassword(const QString& title, int maxLength) override;
    std::optional<PasswordEntry> AskNewPassword() override;
    std::unique_ptr<Progress> StartProgress(const QString& title, const QString& text,
                                            int maximum) override;

    // Every message and question text, in the order shown.
    const QStringList& Shown() const { return shown_; }
    // Progress titles and texts, in the order shown.
    const QStringList& ProgressTexts() const { return progress_; }
    bool AllAnswersUsed() const { return replies_.empty(); }
    void Clear() { shown_.clear(), progress_.clear(); }

  private:
    Reply Next(const QString& what);

    std::deque<Reply> replies_;
    QStringList shown_;
    QStringList progress_;
};

}  // namespace tandrel
