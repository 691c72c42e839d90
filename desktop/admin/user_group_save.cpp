#include "desktop/admin/date_entry.h"
#include "desktop/admin/download_question.h"
#include "desktop/admin/group_texts.h"
#include "desktop/admin/lock_marking.h"
#include "desktop/admin/user_group_sheet.h"

namespace tandrel {

bool CUserGroupSheet::Save() {
    bool renamed = false;
    bool written = false;
    try {
        dao::Transaction transaction(doc_.Db());
        if (WriteGroup(renamed)) {
            transaction.Commit();
            written = true;
        }
    } catch (const dao::Error&) {
        prompter_.Message(texts::kGroupUpdateError, PromptIcon::Stop);
    }
    if (!written) {
        ReloadShared();
        return false;
    }
    stored_ = page_;
    if (renamed && namesChanged_) namesChanged_();
    return true;
}

bool CUserGroupSheet::WriteGroup(bool& renamed) {
    CGroupsRecordset& groups = *doc_.m_pGroups;
    if (!groups.FindByKey(key_)) dao::Throw(dao::kErrNoCurrentRecord);
    groups.Edit();
    if (ChangesLockData(groups)) {
        if (!ConfirmDownload(prompter_)) {
            groups.CancelUpdate();
            return false;
        }
        RaiseGroupTableRevision();
        MarkLocksForFacilityData(*doc_.m_pLocks);
    }
    renamed = groups.m_GroupName != page_.name;
    StoreGroup(groups);
    groups.Update();
    return true;
}

// What the locks hold of a group: the AutoCode flag, and while it is on the
// interval, its unit and the next PIN date of their PIN table entry.
bool CUserGroupSheet::ChangesLockData(const CGroupsRecordset& groups) const {
    if (groups.m_AutocodeEnabled != page_.autocode) return true;
    if (!page_.autocode) return false;
    const QDate date = ParseDateEntry(page_.nextPinDate, today_);
    const bool dateMoved =
        date.isValid() && PackQDate(date) != static_cast<std::uint16_t>(groups.m_PINDate);
    return groups.m_AutocodeInterval != page_.interval ||
           groups.m_AutocodeIntervalType != static_cast<int>(page_.unit) || dateMoved;
}

void CUserGroupSheet::RaiseGroupTableRevision() {
    CFacilityPropertiesRecordset& facility = *doc_.m_pFacilityProperties;
    facility.MoveFirst();
    facility.Edit();
    facility.m_UserGroupTableRevision =
        static_cast<std::int16_t>(facility.m_UserGroupTableRevision + 1);
    facility.Update();
}

// An empty date text (AutoCode cleared) keeps the stored date.
void CUserGroupSheet::StoreGroup(CGroupsRecordset& groups) const {
    groups.m_GroupName = page_.name;
    groups.m_Reference = page_.reference;
    groups.m_AutocodeEnabled = page_.autocode;
    groups.m_AutocodeInterval = static_cast<std::uint8_t>(page_.interval);
    groups.m_AutocodeIntervalType = static_cast<std::uint8_t>(page_.unit);
    const QDate date = ParseDateEntry(page_.nextPinDate, today_);
    if (date.isValid()) groups.m_PINDate = static_cast<std::int16_t>(PackQDate(date));
}

// After a rollback the shared recordsets' members still show the edits.
void CUserGroupSheet::ReloadShared() {
    doc_.m_pGroups->Requery();
    doc_.m_pFacilityProperties->Requery();
    doc_.m_pLocks->Requery();
}

}  // namespace tandrel
