#include "desktop/data/scripted_prompter.h"

#include <stdexcept>

namespace tandrel {
namespace {

class RecordingProgress : public Progress {
  public:
    explicit RecordingProgress(QStringList& log) : log_(log) {}
    void SetText(const QString& text) override { log_ << text; }
    void SetRange(int) override {}
    void SetPosition(int) override {}

  private:
    QStringList& log_;
};

}  // namespace

ScriptedPrompter& ScriptedPrompter::Answer(PromptAnswer answer) {
    replies_.push_back(answer);
    return *this;
}

ScriptedPrompter& ScriptedPrompter::Password(std::optional<QString> password) {
    replies_.push_back(std::move(password));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::NewPassword(std::optional<PasswordEntry> entry) {
    replies_.push_back(std::move(entry));
    return *this;
}

ScriptedPrompter::Reply ScriptedPrompter::Next(const QString& what) {
    if (replies_.empty()) {
        throw std::logic_error("no scripted answer left for: " + what.toStdString());
    }
    Reply reply = std::move(replies_.front());
    replies_.pop_front();
    return reply;
}

void ScriptedPrompter::Message(const QString& text, PromptIcon, const QString&) {
    shown_ << text;
}

PromptAnswer ScriptedPrompter::Ask(const QString& text, PromptButtons, PromptAnswer, PromptIcon) {
    shown_ << text;
    Reply reply = Next(text);
    if (auto* answer = std::get_if<PromptAnswer>(&reply)) return *answer;
    throw std::logic_error("the script holds no Yes/No answer for: " + text.toStdString());
}

std::optional<QString> ScriptedPrompter::AskPassword(const QString& title, int) {
    shown_ << QStringLiteral("[password prompt] ") + title;
    Reply reply = Next(title);
    if (auto* password = std::get_if<std::optional<QString>>(&reply)) return *password;
    throw std::logic_error("the script holds no password for the prompt " + title.toStdString());
}

std::optional<PasswordEntry> ScriptedPrompter::AskNewPassword() {
    shown_ << QStringLiteral("[Set Facility Password]");
    Reply reply = Next(QStringLiteral("Set Facility Password"));
    if (auto* entry = std::get_if<std::optional<PasswordEntry>>(&reply)) return *entry;
    throw std::logic_error("the script holds no new password entry");
}

std::unique_ptr<Progress> ScriptedPrompter::StartProgress(const QString& title, const QString& text,
                                                          int) {
    progress_ << title << text;
    return std::make_unique<RecordingProgress>(progress_);
}

}  // namespace tandrel
