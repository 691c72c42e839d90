#include "desktop/admin/lock_properties_sheet.h"
#include "desktop/admin/page_check.h"

#include <QDate>

#include "desktop/admin/date_entry.h"
#include "desktop/admin/location_path.h"
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/text_rules.h"
#include "desktop/admin/user_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

constexpr int kMinOpenDelay = 3;
constexpr int kMaxOpenDelay = 30;

// A typed date: empty is no date; nullopt when unreadable.
std::optional<QDateTime> ParseDate(const QString& text) {
    if (text.trimmed().isEmpty()) return QDateTime();
    QDate date = ParseDateEntry(text.trimmed(), QDate::currentDate());
    if (!date.isValid()) return std::nullopt;
    return QDateTime(date, QTime(0, 0));
}

QString DateText(const QDateTime& d) {
    return d.isValid() ? d.date().toString(QStringLiteral("MM/dd/yyyy")) : QString();
}

}  // namespace

QString BatteryJudgement(int supplyVolts) {
    if (supplyVolts >= 5400) return QStringLiteral("High");
    if (supplyVolts >= 4400) return QStringLiteral("Normal");
    if (supplyVolts >= 4100) return QStringLiteral("Low");
    return QStringLiteral("REPLACE!");
}

QString DeviceLinkStateText(int state) {
    switch (state) {
        case kLinkPendingEnrolment: return QStringLiteral(" < Pending Enrollment >");
        case kLinkPendingUpdate: return QStringLiteral(" < Pending Update >");
        case kLinkPendingRemoval: return QStringLiteral(" < Pending Removal >");
        default: return QString();
    }
}

std::unique_ptr<CLockPropertiesSheet> CLockPropertiesSheet::NewLock(CTDXDoc& doc,
                                                                    Prompter& prompter,
                                                                    int pathIndex) {
    auto sheet = std::unique_ptr<CLockPropertiesSheet>(new CLockPropertiesSheet(doc, prompter));
    sheet->info_.pathIndex = pathIndex;
    sheet->stored_ = sheet->info_;
    return sheet;
}

std::unique_ptr<CLockPropertiesSheet> CLockPropertiesSheet::PasteLock(CTDXDoc& doc,
                                                                      Prompter& prompter,
                                                                      int source, int pathIndex) {
    auto from = EditLock(doc, prompter, source);
    if (!from) return nullptr;
    auto sheet = NewLock(doc, prompter, pathIndex);
    LockInfoPage info = from->info_;
    info.pathIndex = pathIndex;
    sheet->info_ = info;
    return sheet;
}

std::unique_ptr<CLockPropertiesSheet> CLockPropertiesSheet::EditLock(CTDXDoc& doc,
                                                                     Prompter& prompter,
                                                                     int lockKey) {
    CLocksRecordset locks(doc.Db());
    if (!locks.FindByKey(lockKey)) return nullptr;
    auto sheet = std::unique_ptr<CLockPropertiesSheet>(new CLockPropertiesSheet(doc, prompter));
    sheet->Load(lockKey);
    return sheet;
}

void CLockPropertiesSheet::Load(int lockKey) {
    dao::Database& db = doc_.Db();
    CLocksRecordset l(db);
    l.FindByKey(lockKey);
    lockKey_ = lockKey;
    info_ = {l.m_Name,
             l.m_PathIndex,
             l.m_SerialNumber,
             l.m_ModelNumber,
             l.m_OpenDelaySeconds,
             DateText(l.m_InstallDate),
             DateText(l.m_BatteryInstallDate),
             l.m_TSLink,
             l.m_DeviceLink,
             l.m_DeviceAuditEnable,
             l.m_UserCapacity};
    stored_ = info_;
    deviceLinkState_ = l.m_DeviceLinkState;
    lastProgramDate_ = l.m_LastProgramDate;
    supplyVolts_ = l.m_SupplyVolts;
    hardwareClass_ = l.m_HardwareClass;
    firmwareVersion_ = l.m_FirmwareVersion;
    programmers_ = l.m_PgmIDCount;
    for (const EnrolmentDraft& d : StoredEnrolmentsOfLock(db, lockKey)) {
        LockUserEntry& e = AddCandidate(d.userKey);
        e.stored = e.draft = d;
        ++usedSlots_;
    }
}

LockUserEntry* CLockPropertiesSheet::EntryOf(int userKey) {
    for (LockUserEntry& e : users_) {
        if (e.draft.userKey == userKey) return &e;
    }
    return nullptr;
}

LockUserEntry& CLockPropertiesSheet::AddCandidate(int userKey) {
    if (LockUserEntry* e = EntryOf(userKey)) return *e;
    CLockUsersRecordset u(doc_.Db());
    LockUserEntry entry;
    entry.draft.lockKey = entry.stored.lockKey = lockKey_;
    entry.draft.userKey = entry.stored.userKey = userKey;
    if (u.FindByKey(userKey)) {
        entry.userName = UserListName(u.m_LastName, u.m_FirstName, u.m_MiddleInitial);
        entry.userRecordState = u.m_RecordState;
        entry.draft.typeByte = entry.stored.typeByte = TypeByte(u.m_UserType, u.m_Rights);
    }
    users_.push_back(entry);
    return users_.back();
}

bool CLockPropertiesSheet::Fail(const QString& message, LockField which, LockField* field) {
    return RefuseField(prompter_, message, which, field);
}

bool CLockPropertiesSheet::CheckInfoPage(LockField* field) {
    info_.name = info_.name.trimmed();
    if (!CheckName(field) || !CheckTexts(field)) return false;
    if (info_.openDelaySeconds < kMinOpenDelay || info_.openDelaySeconds > kMaxOpenDelay) {
        return Fail(texts::kOpenDelayRange, LockField::OpenDelay, field);
    }
    if (!ParseDate(info_.installDate))
        return Fail(texts::kInvalidDate, LockField::InstallDate, field);
    if (!ParseDate(info_.batteryInstallDate)) {
        return Fail(texts::kInvalidDate, LockField::BatteryInstallDate, field);
    }
    return CheckCapacity(field);
}

// Names are unique within a location, so a lock is found by its path.
bool CLockPropertiesSheet::CheckName(LockField* field) {
    if (info_.name.isEmpty()) return Fail(texts::kMustEnterLocation, LockField::Name, field);
    if (auto problem = NameProblem(QStringLiteral("Lock name"), info_.name, {"Locks", "Name"});
        (IsNew() || info_.name != stored_.name) && problem) {
        return Fail(*problem, LockField::Name, field);
    }
    try {
        CLocksRecordset locks(doc_.Db());
        locks.SetCurrentIndex("Name");
        for (locks.Seek("=", {info_.name}); locks.HasCurrent(); locks.MoveNext()) {
            if (locks.m_Name.compare(info_.name, Qt::CaseInsensitive) != 0) break;
            if (locks.m_LockKey != lockKey_ && locks.m_PathIndex == info_.pathIndex) {
                return Fail(texts::kLocationNameInUse, LockField::Name, field);
            }
        }
    } catch (const dao::Error&) {
        return Fail(texts::kUnexpectedDatabaseError, LockField::Name, field);
    }
    return true;
}

bool CLockPropertiesSheet::CheckTexts(LockField* field) {
    if (auto problem = TextProblem(QStringLiteral("Serial Number"), info_.serialNumber,
                                   {"Locks", "Serial Number"});
        info_.serialNumber != stored_.serialNumber && problem) {
        return Fail(*problem, LockField::SerialNumber, field);
    }
    if (auto problem = TextProblem(QStringLiteral("Model Number"), info_.modelNumber,
                                   {"Locks", "Model Number"});
        info_.modelNumber != stored_.modelNumber && problem) {
        return Fail(*problem, LockField::ModelNumber, field);
    }
    return true;
}

// The lock's user list must hold every enrolment it keeps, in the slots
// they already have.
bool CLockPropertiesSheet::CheckCapacity(LockField* field) {
    const int capacity = info_.userCapacity;
    const bool changed = IsNew() || capacity != stored_.userCapacity;
    if (changed && (capacity < kMinUserCapacity || capacity > kMaxUserCapacity)) {
        return Fail(texts::UserCapacityRange(kMinUserCapacity, kMaxUserCapacity),
                    LockField::UserCapacity, field);
    }
    const int highest = HighestKeptSlot();
    if (capacity <= highest) {
        return Fail(texts::CapacityBelowSlot(highest + 1, highest), LockField::UserCapacity, field);
    }
    if (capacity < usedSlots_) {
        return Fail(texts::CapacityBelowEnrolled(usedSlots_), LockField::UserCapacity, field);
    }
    return true;
}

// The highest slot of a stored enrolment the save keeps; -1 when none.
int CLockPropertiesSheet::HighestKeptSlot() const {
    int highest = -1;
    for (const LockUserEntry& e : users_) {
        if (e.stored.HasRow() && e.draft.state != kNotEnrolled)
            highest = std::max(highest, e.stored.slot);
    }
    return highest;
}

LockStatusTexts CLockPropertiesSheet::Status() const {
    LockStatusTexts status;
    status.device = texts::kNoDevice;
    if (info_.deviceLink != 0) {
        CMobileDevicesRecordset devices(doc_.Db());
        if (devices.FindByKey(info_.deviceLink)) {
            status.device = devices.m_Name + DeviceLinkStateText(deviceLinkState_);
        }
    }
    if (lastProgramDate_.isValid()) {
        status.lastProgramDate = lastProgramDate_.toString(QStringLiteral("MM/dd/yy   hh:mm AP"));
        status.battery = BatteryJudgement(supplyVolts_);
        status.hardwareClass = QString::number(hardwareClass_);
        status.firmwareVersion = QStringLiteral("%1.%2")
                                     .arg((firmwareVersion_ >> 8) & 0xFF)
                                     .arg(firmwareVersion_ & 0xFF, 2, 10, QLatin1Char('0'));
    }
    return status;
}

bool CLockPropertiesSheet::UserActionsAllowed(int userKey) {
    LockUserEntry& e = AddCandidate(userKey);
    if (e.userRecordState != kUserPendingRemoval) return true;
    prompter_.Message(texts::kUserPendingRemoval, PromptIcon::Information);
    return false;
}

void CLockPropertiesSheet::EnrolUsers(const std::vector<int>& userKeys) {
    for (int key : userKeys) {
        LockUserEntry& e = AddCandidate(key);
        EnrolmentDraft& d = e.draft;
        if (e.userRecordState == kUserPendingRemoval || d.Enrolled()) continue;
        const bool needsSlot = d.state != kPendingRemoval;
        if (needsSlot) {
            if (FreeSlots() == 0) {
                prompter_.Message(texts::LockFullForUser(e.userName), PromptIcon::Exclamation);
                continue;
            }
            ++usedSlots_;
            if (!d.HasRow()) d.useDefaults = true;
        }
        EnrolDraft(d);
        if (d.Programmer()) ++programmers_;
    }
}

bool CLockPropertiesSheet::RemoveUsers(const std::vector<int>& userKeys) {
    for (int key : userKeys) {
        LockUserEntry* e = EntryOf(key);
        if (!e || e->userRecordState == kUserPendingRemoval || !e->draft.Enrolled()) continue;
        if (e->draft.Programmer() && programmers_ < 2) {
            if (prompter_.Ask(texts::LastProgrammerOfLock(e->userName), PromptButtons::YesNo,
                              PromptAnswer::No, PromptIcon::Question) != PromptAnswer::Yes) {
                return false;
            }
            continue;
        }
        RemoveDraft(e->draft);
        if (e->draft.state == kNotEnrolled) --usedSlots_;
        if (e->draft.Programmer()) --programmers_;
    }
    return true;
}

bool CLockPropertiesSheet::SetUserType(int userKey, int typeCode, int rights, bool useDefaults) {
    LockUserEntry* e = EntryOf(userKey);
    if (!e || !e->draft.Enrolled()) return false;
    EnrolmentDraft& d = e->draft;
    std::uint8_t byte =
        useDefaults ? e->stored.typeByte : TypeByte(typeCode, rights & AllowedRights(typeCode));
    if (useDefaults) {
        CLockUsersRecordset u(doc_.Db());
        if (u.FindByKey(userKey)) byte = TypeByte(u.m_UserType, u.m_Rights);
    }
    if (byte != d.typeByte) {
        programmers_ += (IsProgrammerByte(byte) ? 1 : 0) - (d.Programmer() ? 1 : 0);
        if (d.state == kEnrolmentCurrent) d.state = kPendingUpdate;
    }
    d.typeByte = byte;
    d.useDefaults = useDefaults;
    return true;
}

bool CLockPropertiesSheet::CheckUserPage() {
    if (programmers_ > 0) return true;
    prompter_.Message(texts::kNeedProgrammer, PromptIcon::Information);
    return false;
}

}  // namespace tandrel
