#include "desktop/cli/terminal_prompter.h"

#include <string>

namespace tandrel {
namespace {

class TerminalProgress : public Progress {
  public:
    TerminalProgress(std::ostream& err, bool verbose) : err_(err), verbose_(verbose) {}
    void SetText(const QString& text) override {
        if (verbose_ && !text.isEmpty()) err_ << text.toStdString() << "\n";
    }
    void SetRange(int) override {}
    void SetPosition(int) override {}

  private:
    std::ostream& err_;
    bool verbose_;
};

const char* AnswerWord(PromptAnswer a) {
    switch (a) {
        case PromptAnswer::Yes: return "yes";
        case PromptAnswer::No: return "no";
        case PromptAnswer::Ok: return "ok";
        case PromptAnswer::Cancel: return "cancel";
    }
    return "";
}

}  // namespace

void TerminalPrompter::Message(const QString& text, PromptIcon icon, const QString&) {
    err_ << text.toStdString() << "\n";
    if (icon == PromptIcon::Stop || icon == PromptIcon::Exclamation) failures_ << text;
}

PromptAnswer TerminalPrompter::Ask(const QString& text, PromptButtons buttons,
                                   PromptAnswer defaultAnswer, PromptIcon) {
    const bool yesNo = buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel;
    const PromptAnswer yes = yesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    const PromptAnswer no = yesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    err_ << text.toStdString() << (defaultAnswer == yes ? " [Y/n] " : " [y/N] ");
    PromptAnswer answer = defaultAnswer;
    if (assumeYes_) {
        answer = yes;
    } else if (interactive_) {
        std::string line;
        std::getline(in_, line);
        if (!line.empty()) answer = (line[0] == 'y' || line[0] == 'Y') ? yes : no;
    }
    err_ << AnswerWord(answer) << "\n";
    return answer;
}

std::optional<QString> TerminalPrompter::AskPassword(const QString& title, int) {
    if (!passwords_.empty()) {
        QString password = passwords_.front();
        passwords_.pop_front();
        return password;
    }
    if (!interactive_) {
        err_ << "Facility '" << title.toStdString() << "' needs its password (--password).\n";
        return std::nullopt;
    }
    err_ << "Facility Password (" << title.toStdString() << "): ";
    std::string line;
    std::getline(in_, line);
    return QString::fromStdString(line);
}

std::optional<PasswordEntry> TerminalPrompter::AskNewPassword() {
    if (newPasswords_.empty()) return std::nullopt;
    PasswordEntry entry = newPasswords_.front();
    newPasswords_.pop_front();
    return entry;
}

std::unique_ptr<Progress> TerminalPrompter::StartProgress(const QString& title, const QString& text,
                                                          int) {
    if (verbose_) err_ << title.toStdString() << "\n";
    auto progress = std::make_unique<TerminalProgress>(err_, verbose_);
    progress->SetText(text);
    return progress;
}

}  // namespace tandrel
