#include "desktop/cli/terminal_prompter.h"

#include <string>

#include "desktop/cli/declined_answers.h"

namespace tandrel {
namespace {

const char* AnswerWord(PromptAnswer a) {
    switch (a) {
        case PromptAnswer::Yes: return "yes";
        case PromptAnswer::No: return "no";
        case PromptAnswer::Ok: return "ok";
        case PromptAnswer::Cancel: return "cancel";
    }
    return "";
}

// A question's text on one line.
std::string OneLine(const QString& text) {
    return text.simplified().toStdString();
}

}  // namespace

UnansweredQuestion::UnansweredQuestion(const QString& question)
    : std::runtime_error("stopped before changing anything: the question \"" + OneLine(question) +
                         "\" needs an answer; use --yes to answer Yes or --no to answer No") {}

void TerminalPrompter::ClearProgress() {
    if (progress_) progress_->Clear();
}

void TerminalPrompter::Message(const QString& text, PromptIcon icon, const QString&) {
    ClearProgress();
    err_ << text.toStdString() << "\n";
    if (icon == PromptIcon::Stop || icon == PromptIcon::Exclamation) failures_ << text;
}

PromptAnswer TerminalPrompter::Ask(const QString& text, PromptButtons buttons,
                                   PromptAnswer defaultAnswer, PromptIcon) {
    const bool yesNo = buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel;
    const PromptAnswer yes = yesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    const PromptAnswer no = yesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    if (auto preset = presets_.find(text); preset != presets_.end())
        return preset->second == PromptAnswer::Yes ? yes : no;
    if (policy_ == AnswerPolicy::Refuse) throw UnansweredQuestion(text);
    ClearProgress();
    err_ << text.toStdString() << (defaultAnswer == yes ? " [Y/n] " : " [y/N] ") << std::flush;
    PromptAnswer answer = defaultAnswer;
    if (policy_ == AnswerPolicy::Yes) {
        answer = yes;
    } else if (policy_ == AnswerPolicy::No) {
        answer = no;
    } else {
        // The end of the input is no consent.
        const std::optional<std::string> line = ReadLine(false);
        if (!line) {
            answer = no;
        } else if (!line->empty()) {
            answer = ((*line)[0] == 'y' || (*line)[0] == 'Y') ? yes : no;
        }
    }
    err_ << AnswerWord(answer) << "\n";
    if (answer == no) {
        if (const QString declined = DeclinedAnswerText(text); !declined.isEmpty())
            err_ << declined.toStdString() << "\n";
    }
    return answer;
}

std::optional<std::string> TerminalPrompter::ReadLine(bool hidden) {
    if (hidden && setEcho_) setEcho_(false);
    std::string line;
    const bool read = static_cast<bool>(std::getline(in_, line));
    if (hidden && setEcho_) {
        setEcho_(true);
        err_ << "\n";
    }
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<QString> TerminalPrompter::AskPassword(const QString& title, int) {
    if (!passwords_.empty()) {
        QString password = passwords_.front();
        passwords_.pop_front();
        passwordOffered_ = true;
        return password;
    }
    if (policy_ != AnswerPolicy::Terminal) {
        // A password that was given and refused has been reported already.
        if (!passwordOffered_) {
            err_ << "Facility '" << title.toStdString()
                 << "' needs its password (--password-file, TANDREL_PASSWORD or --password).\n";
        }
        return std::nullopt;
    }
    ClearProgress();
    err_ << "Facility Password (" << title.toStdString() << "): " << std::flush;
    const std::optional<std::string> typed = ReadLine(true);
    if (!typed) return std::nullopt;
    return QString::fromStdString(*typed);
}

std::optional<PasswordEntry> TerminalPrompter::AskNewPassword() {
    if (!newPasswords_.empty()) {
        PasswordEntry entry = newPasswords_.front();
        newPasswords_.pop_front();
        return entry;
    }
    if (policy_ != AnswerPolicy::Terminal) return std::nullopt;
    ClearProgress();
    err_ << "New Password: " << std::flush;
    const std::optional<std::string> typed = ReadLine(true);
    if (!typed) return std::nullopt;
    if (typed->empty() && newPasswordRequired_) {
        err_ << "No password was typed; nothing was changed ('password remove' removes one).\n";
        return std::nullopt;
    }
    err_ << "Confirm Password: " << std::flush;
    const std::optional<std::string> again = ReadLine(true);
    if (!again) return std::nullopt;
    return PasswordEntry{QString::fromStdString(*typed), QString::fromStdString(*again),
                         keepCompatibility_};
}

std::unique_ptr<Progress> TerminalPrompter::StartProgress(const QString& title, const QString& text,
                                                          int maximum) {
    auto progress =
        std::make_unique<TerminalProgress>(err_, progressStyle_, title, verbose_, progress_);
    progress->SetRange(maximum);
    progress->SetText(text);
    return progress;
}

}  // namespace tandrel
