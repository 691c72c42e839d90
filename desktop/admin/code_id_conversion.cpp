#include <map>

#include "desktop/admin/conversion_posting.h"
#include "desktop/admin/conversion_texts.h"
#include "desktop/admin/length_conversion.h"
#include "desktop/admin/unique_code_ids.h"
#include "desktop/admin/user_pins.h"
#include "desktop/data/facility_texts.h"

namespace tandrel {
namespace {

using CodeIds = std::map<int, QString>;  // user key -> code ID

constexpr int kMinIdLength = 4;
constexpr int kMaxIdLength = 10;

bool IdLengthValid(int length) {
    return length >= kMinIdLength && length <= kMaxIdLength;
}

qint64 PowerOfTen(int exponent) {
    qint64 value = 1;
    for (int i = 0; i < exponent; ++i) value *= 10;
    return value;
}

// Card numbers are not code IDs: their length is the card's.
CodeIds CollectCodeIds(CLockUsersRecordset& users) {
    CodeIds codes;
    users.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
        if (!users.m_CardMedia && !users.m_LockIDcode.isEmpty())
            codes[users.m_UserKey] = users.m_LockIDcode;
    }
    return codes;
}

bool Confirm(Prompter& prompter, const QString& question, PromptIcon icon) {
    return prompter.Ask(question, PromptButtons::YesNo, PromptAnswer::No, icon) ==
           PromptAnswer::Yes;
}

bool ConfirmConversion(Prompter& prompter, qint64 users, int oldLength, int newLength) {
    const qint64 space = PowerOfTen(newLength);
    if (users > space) {
        prompter.Message(texts::CodeIdLengthInsufficient(newLength, users),
                         PromptIcon::Exclamation);
        return false;
    }
    if (users > space / 2 &&
        !Confirm(prompter, texts::CodeIdLengthRecommended(users, newLength + 1),
                 PromptIcon::Information)) {
        return false;
    }
    return Confirm(prompter, texts::CodeIdCaution(users, oldLength, newLength),
                   PromptIcon::Exclamation);
}

std::optional<CodeIds> NewCodeIds(const ConversionContext& c, const CodeIds& codes, int newLength,
                                  bool shorter, Progress& progress) {
    UniqueCodeIds unique(newLength, c.random);
    CodeIds result;
    int done = 0;
    for (const auto& [key, code] : codes) {
        if (shorter) {
            auto given = unique.Give(code);
            if (!given) return std::nullopt;
            result[key] = *given;
        } else {
            result[key] = FitToLength(code, newLength, c.random);
        }
        progress.SetPosition(++done);
    }
    return result;
}

// A new code ID changes the generated PINs of an autocode user.
bool PostCodeId(const ConversionContext& c, int key, const QString& code,
                const std::set<int>& autocodeGroups, std::set<int>& lockKeys) {
    CLockUsersRecordset& users = *c.doc.m_pLockUsers;
    if (!users.FindByKey(key)) {
        c.prompter.Message(texts::kErrorUpdatingFacility, PromptIcon::Exclamation);
        return false;
    }
    users.Edit();
    users.m_LockIDcode = code;
    const int marked = MarkEnrolmentsForUpdate(*c.doc.m_pUsersToLocks, key, lockKeys);
    CountBulkChange(users, marked, marked > 0);
    users.Update();
    if (autocodeGroups.count(users.m_HomeGroup)) RefreshUserPins(c.doc, c.today);
    return true;
}

bool PostCodeIds(const ConversionContext& c, const CodeIds& codes, Progress& progress) {
    progress.SetText(texts::PostingCodeIds(static_cast<qint64>(codes.size())));
    progress.SetRange(static_cast<int>(codes.size()));
    const std::set<int> autocodeGroups = AutocodeGroups(*c.doc.m_pGroups);
    std::set<int> lockKeys;
    int done = 0;
    for (const auto& [key, code] : codes) {
        if (!PostCodeId(c, key, code, autocodeGroups, lockKeys)) return false;
        progress.SetPosition(++done);
    }
    PurgeLocks(*c.doc.m_pLocks, lockKeys);
    return true;
}

}  // namespace

ConversionResult ConvertCodeIdLength(const ConversionContext& c, int oldLength, int newLength) {
    if (!IdLengthValid(oldLength) || !IdLengthValid(newLength)) {
        c.prompter.Message(texts::kInvalidCodeIdLength, PromptIcon::Exclamation);
        return ConversionResult::Failed;
    }
    if (oldLength == newLength) return ConversionResult::NothingToConvert;
    const CodeIds codes = CollectCodeIds(*c.doc.m_pLockUsers);
    const auto users = static_cast<qint64>(codes.size());
    if (users == 0) return ConversionResult::NothingToConvert;
    // Refusing a step stops the conversion as a failure: the caller must not
    // store the new length over codes of the old one.
    if (!ConfirmConversion(c.prompter, users, oldLength, newLength))
        return ConversionResult::Failed;
    auto progress = c.prompter.StartProgress(
        {}, texts::ConvertingCodeIds(users, oldLength, newLength), static_cast<int>(users));
    auto converted = NewCodeIds(c, codes, newLength, newLength < oldLength, *progress);
    if (!converted) {
        c.prompter.Message(texts::kUnableUniqueId, PromptIcon::Exclamation);
        return ConversionResult::Failed;
    }
    return PostCodeIds(c, *converted, *progress) ? ConversionResult::Converted
                                                 : ConversionResult::Failed;
}

}  // namespace tandrel
