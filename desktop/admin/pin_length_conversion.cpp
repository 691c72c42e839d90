#include <new>

#include "desktop/admin/conversion_posting.h"
#include "desktop/admin/conversion_texts.h"
#include "desktop/admin/length_conversion.h"
#include "desktop/admin/user_pins.h"
#include "desktop/data/facility_states.h"

namespace tandrel {
namespace {

qint64 CountConvertedUsers(CLockUsersRecordset& users) {
    qint64 count = 0;
    users.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
        if (users.m_RecordState != kUserRemoved) ++count;
    }
    return count;
}

// A typed PIN reaches the locks only with the user's data, so the user's
// current enrolments are marked for update like a new code ID's; NextPIN
// follows CurPIN as for every user without AutoCode.
void ConvertTypedPin(const ConversionContext& c, int newLength, std::set<int>& lockKeys) {
    CLockUsersRecordset& users = *c.doc.m_pLockUsers;
    users.Edit();
    users.m_CurPIN = FitToLength(users.m_CurPIN, newLength, c.random);
    users.m_NextPIN = users.m_CurPIN;
    const int marked = MarkEnrolmentsForUpdate(*c.doc.m_pUsersToLocks, users.m_UserKey, lockKeys);
    CountBulkChange(users, marked, true);
    users.Update();
}

int ConvertAllPins(const ConversionContext& c, int newLength, Progress& progress) {
    const std::set<int> autocodeGroups = AutocodeGroups(*c.doc.m_pGroups);
    CLockUsersRecordset& users = *c.doc.m_pLockUsers;
    std::set<int> lockKeys;
    int rewritten = 0;
    users.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
        if (users.m_RecordState == kUserRemoved) continue;
        // Locks work out the PINs of autocode groups themselves.
        if (autocodeGroups.count(users.m_HomeGroup)) {
            RefreshUserPins(c.doc, c.today);
        } else {
            ConvertTypedPin(c, newLength, lockKeys);
        }
        progress.SetPosition(++rewritten);
    }
    PurgeLocks(*c.doc.m_pLocks, lockKeys);
    return rewritten;
}

}  // namespace

ConversionResult ConvertPinLength(const ConversionContext& c, int oldLength, int newLength) {
    try {
        const qint64 users = CountConvertedUsers(*c.doc.m_pLockUsers);
        if (c.prompter.Ask(texts::PinCaution(users, oldLength, newLength), PromptButtons::YesNo,
                           PromptAnswer::No, PromptIcon::Exclamation) != PromptAnswer::Yes) {
            return ConversionResult::Failed;
        }
        auto progress = c.prompter.StartProgress(
            {}, texts::ConvertingPins(users, oldLength, newLength), static_cast<int>(users));
        return ConvertAllPins(c, newLength, *progress) > 0 ? ConversionResult::Converted
                                                           : ConversionResult::NothingToConvert;
    } catch (const dao::Error& e) {
        c.prompter.Message(e.Description(), PromptIcon::Exclamation);
    } catch (const std::bad_alloc&) {
        c.prompter.Message(texts::kMemoryException, PromptIcon::Stop);
    }
    return ConversionResult::Failed;
}

}  // namespace tandrel
