#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace tandrel {

enum class PromptIcon { None, Information, Exclamation, Stop, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// One long step's progress window: a title, a line of text and a bar.
class Progress {
  public:
    virtual ~Progress() = default;
    virtual void SetText(const QString& text) = 0;
    virtual void SetRange(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
};

// What the set-password dialog hands back when its OK button is pressed.
struct PasswordEntry {
    QString newPassword;
    QString confirmation;
    bool keepCompatibility = false;  // "Maintain ... Compatibility": no derived password
};

// Everything the program shows a person, and asks of one, goes through this
// interface: message boxes, Yes/No questions, the password prompts and
// progress windows. The desktop implements it with dialogs, the command
// line with the terminal, tests with a script.
class Prompter {
  public:
    virtual ~Prompter() = default;

    virtual void Message(const QString& text, PromptIcon icon = PromptIcon::Exclamation,
                         const QString& title = {}) = 0;
    virtual PromptAnswer Ask(const QString& text, PromptButtons buttons = PromptButtons::YesNo,
                             PromptAnswer defaultAnswer = PromptAnswer::Yes,
                             PromptIcon icon = PromptIcon::Question) = 0;
    // A one-line masked entry (the facility password prompt); nullopt for
    // Cancel.
    virtual std::optional<QString> AskPassword(const QString& title, int maxLength) = 0;
    // One press of OK in the "Set Facility Password" dialog; nullopt for
    // Cancel. Called again after a refused entry.
    virtual std::optional<PasswordEntry> AskNewPassword() = 0;
    virtual std::unique_ptr<Progress> StartProgress(const QString& title, const QString& text,
                                                    int maximum) = 0;
};

}  // namespace tandrel
