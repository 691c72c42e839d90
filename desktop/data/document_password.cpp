#include "desktop/data/facility_document.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/error.h"
#include "protocol/mixing.h"

namespace tandrel {
namespace {
constexpr int kMinPasswordLength = 6;
constexpr int kMaxPasswordLength = 14;
}  // namespace

bool CTDXDoc::SetFacilityPassword() {
    while (true) {
        std::optional<PasswordEntry> entry = prompter_.AskNewPassword();
        if (!entry) return false;
        if (entry->newPassword != entry->confirmation) {
            prompter_.Message(texts::kConfirmationMismatch, PromptIcon::Exclamation);
            continue;
        }
        QString password = entry->newPassword;
        const int length = static_cast<int>(password.size());
        if (password.isEmpty()) {
            if (!session_.password.isEmpty() &&
                prompter_.Ask(texts::kRemovePasswordQuestion) != PromptAnswer::Yes) {
                continue;
            }
        } else if (length >= kMinPasswordLength && length <= kMaxPasswordLength) {
            if (entry->keepCompatibility) {
                prompter_.Message(texts::kCompatibilityWarning, PromptIcon::Exclamation);
            }
            if (prompter_.Ask(texts::kLosePasswordQuestion) != PromptAnswer::Yes) continue;
            if (!entry->keepCompatibility) {
                password =
                    QString::fromStdString(protocol::DerivedPassword(password.toStdString()));
            }
        } else {
            prompter_.Message(texts::kPasswordLength, PromptIcon::Exclamation);
            continue;
        }
        return ChangePassword(password);
    }
}

bool CTDXDoc::ChangePassword(const QString& newPassword) {
    if (!db_) return false;
    if (newPassword == session_.password) return true;
    CloseRecordsets();
    bool changed = false;
    try {
        db_->NewPassword(session_.password, newPassword);
        session_.password = newPassword;
        changed = true;
    } catch (const dao::Error& e) {
        ShowEngineError(e);
    }
    if (!db_->IsOpen()) {
        // The file was replaced or not; whichever password it has, reopen it.
        db_.reset();
        for (const QString& password : {newPassword, session_.password}) {
            try {
                db_ = dao::Database::Open(session_.path, ";pwd=" + password);
                session_.password = password;
                break;
            } catch (const dao::Error&) {
            }
        }
        if (!db_) return false;
    }
    OpenRecordsets();
    return changed;
}

}  // namespace tandrel
