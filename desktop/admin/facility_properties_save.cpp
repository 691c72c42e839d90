#include <new>

#include "desktop/admin/conversion_texts.h"
#include "desktop/admin/download_question.h"
#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/admin/facility_values.h"
#include "desktop/admin/length_conversion.h"
#include "desktop/admin/lock_marking.h"

namespace tandrel {

bool CFacilityPropertiesSheet::Save() {
    if (IsWizard()) return false;  // the document creates a new facility
    Outcome outcome = Outcome::Refused;
    try {
        dao::Transaction transaction(doc_->Db());
        const Outcome written = WriteAll();
        if (written == Outcome::Written) transaction.Commit();
        outcome = written;
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation);
    } catch (const std::bad_alloc&) {
        prompter_.Message(texts::kMemoryException, PromptIcon::Stop);
    }
    ReloadShared();
    if (outcome != Outcome::Written) return outcome == Outcome::Unchanged;
    stored_ = ReadFacilityValues(*doc_->m_pFacilityProperties);
    if (usersChanged_) usersChanged_();
    return true;
}

// The row is saved with its new values before the conversions, so that
// the generated PINs of autocode groups take the new PIN length.
CFacilityPropertiesSheet::Outcome CFacilityPropertiesSheet::WriteAll() {
    CFacilityPropertiesRecordset& row = *doc_->m_pFacilityProperties;
    row.MoveFirst();
    const NewFacilityValues before = ReadFacilityValues(row);
    const FacilityChanges changes = CompareFacilityValues(before, values_, daylightOpened_);
    if (!changes.any) return Outcome::Unchanged;
    if (!changes.caption && !ConfirmDownload(prompter_)) return Outcome::Refused;
    row.Edit();
    WriteFacilityValues(row, values_, daylightOpened_);
    row.Update();
    if (!Convert(before, changes.pinLength, changes.idCodeLength)) return Outcome::Refused;
    RaiseRevision();
    MarkLocksForFacilityData(*doc_->m_pLocks);
    return Outcome::Written;
}

bool CFacilityPropertiesSheet::Convert(const NewFacilityValues& before, bool pinLength,
                                       bool idCodeLength) {
    const ConversionContext context{*doc_, prompter_, random_ ? random_ : ClockSeededRandom(),
                                    today_};
    if (pinLength && ConvertPinLength(context, before.pinLength, values_.pinLength) ==
                         ConversionResult::Failed) {
        return false;
    }
    return !idCodeLength || ConvertCodeIdLength(context, before.idCodeLength,
                                                values_.idCodeLength) != ConversionResult::Failed;
}

void CFacilityPropertiesSheet::RaiseRevision() {
    CFacilityPropertiesRecordset& row = *doc_->m_pFacilityProperties;
    row.MoveFirst();
    row.Edit();
    row.m_Revision = static_cast<std::int16_t>(row.m_Revision + 1);
    row.Update();
}

// After a commit or a rollback the shared recordsets read their rows again.
void CFacilityPropertiesSheet::ReloadShared() {
    doc_->m_pFacilityProperties->MoveFirst();
    doc_->m_pLockUsers->Requery();
    doc_->m_pUsersToLocks->Requery();
    doc_->m_pLocks->Requery();
    doc_->m_pGroups->Requery();
}

}  // namespace tandrel
