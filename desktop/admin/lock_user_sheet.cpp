#include "desktop/admin/lock_user_sheet.h"

#include "desktop/admin/location_path.h"
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/user_pins.h"
#include "desktop/admin/user_texts.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

constexpr int kUserKeyLimit = 65535;

}  // namespace

int IdTypeOf(const CLockUsersRecordset& u) {
    if (!u.m_CardMedia) return kIdCode;
    return u.m_CardMediaType == kIdProxCard ? kIdProxCard : kIdMagCard;
}

QString IdTypeName(int idType) {
    switch (idType) {
        case kIdMagCard: return QStringLiteral("Mag Card");
        case kIdProxCard: return QStringLiteral("Prox Card");
        default: return QStringLiteral("Code");
    }
}

int AllowedRights(int userType) {
    switch (userType) {
        case kManager: return 0x3F;
        case kProgrammer: return 0x0F;
        default: return 0;
    }
}

QString UserListName(const QString& last, const QString& first, const QString& middle) {
    QString name = last + QStringLiteral(", ") + first;
    if (!middle.trimmed().isEmpty()) name += QLatin1Char(' ') + middle + QLatin1Char('.');
    return name;
}

std::unique_ptr<CLockUsersSheet> CLockUsersSheet::NewUser(CTDXDoc& doc, Prompter& prompter) {
    return std::unique_ptr<CLockUsersSheet>(new CLockUsersSheet(doc, prompter));
}

std::unique_ptr<CLockUsersSheet> CLockUsersSheet::CopyUser(CTDXDoc& doc, Prompter& prompter,
                                                           int source) {
    auto sheet = EditUser(doc, prompter, source);
    if (!sheet) return nullptr;
    sheet->userKey_ = -1;
    sheet->storedRecordState_ = kUserActive;
    sheet->storedGeneral_ = UserGeneralPage{};
    sheet->storedGroups_ = UserGroupsPage{};
    sheet->storedNotes_ = UserNotesPage{};
    sheet->locks_.clear();
    sheet->locksLoaded_ = false;
    return sheet;
}

std::unique_ptr<CLockUsersSheet> CLockUsersSheet::EditUser(CTDXDoc& doc, Prompter& prompter,
                                                           int userKey) {
    CLockUsersRecordset& users = *doc.m_pLockUsers;
    if (!users.FindByKey(userKey)) return nullptr;
    if (users.m_RecordState == kUserPendingRemoval &&
        prompter.Ask(texts::kOpenDeletedUserQuestion) != PromptAnswer::Yes) {
        return nullptr;
    }
    auto sheet = std::unique_ptr<CLockUsersSheet>(new CLockUsersSheet(doc, prompter));
    sheet->LoadUser(userKey);
    return sheet;
}

void CLockUsersSheet::LoadUser(int userKey) {
    CLockUsersRecordset& u = *doc_.m_pLockUsers;
    userKey_ = userKey;
    storedRecordState_ = u.m_RecordState;
    general_ = {u.m_LastName,   u.m_FirstName,       u.m_MiddleInitial,  IdTypeOf(u),
                u.m_LockIDcode, u.m_CardIssueNumber, u.m_CardExpireDate, u.m_UserType,
                u.m_Rights,     u.m_CurPIN};
    groups_ = {u.m_GroupMask, u.m_HomeGroup};
    notes_ = {u.m_Reference, u.m_Contact1, u.m_Contact2};
    cardMediaType_ = u.m_CardMediaType;
    storedGeneral_ = general_;
    storedGroups_ = groups_;
    storedNotes_ = notes_;
}

void CLockUsersSheet::SetUserType(int userType) {
    general_.userType = userType;
    general_.rights &= AllowedRights(userType);
}

int CLockUsersSheet::ChangeFlags() const {
    const UserGeneralPage& g = general_;
    const UserGeneralPage& s = storedGeneral_;
    int flags = 0;
    if (g.userType != s.userType || g.rights != s.rights) flags |= kTypeOrRightsChanged;
    bool pinCounts = g.pin != s.pin && !const_cast<CLockUsersSheet*>(this)->HomeGroupHasAutocode();
    if (g.id != s.id || g.idType != s.idType || g.cardIssueNumber != s.cardIssueNumber ||
        pinCounts) {
        flags |= kIdOrCodeChanged;
    }
    if (groups_.homeGroup != storedGroups_.homeGroup ||
        groups_.groupMask != storedGroups_.groupMask) {
        flags |= kGroupsChanged;
    }
    return flags;
}

std::uint8_t CLockUsersSheet::DefaultTypeByte() const {
    return TypeByte(std::max(general_.userType, 0), general_.rights);
}

const std::vector<LockEnrolmentEntry>& CLockUsersSheet::LockEntries() {
    if (locksLoaded_) return locks_;
    locksLoaded_ = true;
    dao::Database& db = doc_.Db();
    std::vector<EnrolmentDraft> stored =
        IsNew() ? std::vector<EnrolmentDraft>{} : StoredEnrolmentsOfUser(db, userKey_);
    CLocksRecordset locks(db);
    locks.SetCurrentIndex("PrimaryKey");
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) {
        LockEnrolmentEntry entry;
        entry.lockName = locks.m_Name;
        entry.capacity = locks.m_UserCapacity;
        entry.freeSlots = FreeSlotCount(db, locks.m_LockKey, locks.m_UserCapacity);
        entry.programmers = locks.m_PgmIDCount;
        entry.stored.lockKey = locks.m_LockKey;
        entry.stored.userKey = userKey_;
        entry.stored.typeByte = DefaultTypeByte();
        for (const EnrolmentDraft& d : stored) {
            if (d.lockKey == locks.m_LockKey) entry.stored = d;
        }
        entry.draft = entry.stored;
        locks_.push_back(entry);
    }
    return locks_;
}

LockEnrolmentEntry* CLockUsersSheet::Entry(int lockKey) {
    LockEntries();
    for (LockEnrolmentEntry& e : locks_) {
        if (e.draft.lockKey == lockKey) return &e;
    }
    return nullptr;
}

bool CLockUsersSheet::Enrol(const std::vector<int>& lockKeys) {
    for (int key : lockKeys) {
        LockEnrolmentEntry* e = Entry(key);
        if (!e || e->draft.Enrolled()) continue;
        EnrolmentDraft& d = e->draft;
        const bool wasRemoved = d.state == kPendingRemoval;
        if (!wasRemoved && !d.HasRow()) {
            if (e->freeSlots == 0) {
                if (prompter_.Ask(texts::LockListFull(e->lockName), PromptButtons::YesNo,
                                  PromptAnswer::No, PromptIcon::Question) != PromptAnswer::Yes) {
                    return false;
                }
                continue;
            }
            --e->freeSlots;
            d.typeByte = DefaultTypeByte();
            d.useDefaults = true;
        } else if (!wasRemoved && d.HasRow()) {
            // A pending enrolment dropped on this page comes back to its slot.
            --e->freeSlots;
        }
        EnrolDraft(d);
        if (d.Programmer()) ++e->programmers;
    }
    return true;
}

bool CLockUsersSheet::EnrolLocation(int directoryKey) {
    std::optional<QString> path = LocationFullPath(doc_.Db(), directoryKey);
    if (!path) return true;
    std::vector<int> keys;
    for (const LockEnrolmentEntry& e : LockEntries()) {
        CLocksRecordset locks(doc_.Db());
        if (locks.FindByKey(e.draft.lockKey) &&
            locks.m_FullPath.startsWith(*path, Qt::CaseInsensitive)) {
            keys.push_back(e.draft.lockKey);
        }
    }
    return Enrol(keys);
}

bool CLockUsersSheet::Remove(const std::vector<int>& lockKeys) {
    for (int key : lockKeys) {
        LockEnrolmentEntry* e = Entry(key);
        if (!e || !e->draft.Enrolled()) continue;
        EnrolmentDraft& d = e->draft;
        if (d.Programmer() && e->programmers < 2) {
            if (prompter_.Ask(texts::LastProgrammerContinue(e->lockName)) != PromptAnswer::Yes) {
                return false;
            }
            continue;
        }
        RemoveDraft(d);
        if (d.state == kNotEnrolled) ++e->freeSlots;
        if (d.Programmer()) --e->programmers;
    }
    return true;
}

bool CLockUsersSheet::SetLockUserType(int lockKey, int typeCode, int rights, bool useDefaults) {
    LockEnrolmentEntry* e = Entry(lockKey);
    if (!e || !e->draft.Enrolled()) return false;
    EnrolmentDraft& d = e->draft;
    std::uint8_t byte =
        useDefaults ? DefaultTypeByte() : TypeByte(typeCode, rights & AllowedRights(typeCode));
    if (byte == d.typeByte && useDefaults == d.useDefaults) return true;
    if (byte != d.typeByte) {
        e->programmers += (IsProgrammerByte(byte) ? 1 : 0) - (d.Programmer() ? 1 : 0);
        if (d.state == kEnrolmentCurrent) d.state = kPendingUpdate;
    }
    d.typeByte = byte;
    d.useDefaults = useDefaults;
    return true;
}

bool CLockUsersSheet::Save(const QDate& today) {
    if (!IsNew() && PendingRemoval()) return false;
    if (!CheckTextsFit()) return false;
    const bool isNew = IsNew();
    const int flags = isNew ? 0 : ChangeFlags();
    dao::Database& db = doc_.Db();
    pendingDelta_ = enrolledDelta_ = 0;
    try {
        dao::Transaction transaction(db);
        if (!WriteUserRow(today, flags)) {
            if (IsNew()) userKey_ = -1;
            return false;
        }
        if (locksLoaded_) {
            WritePageEnrolments(flags);
        } else if (flags != 0) {
            WriteEnrolmentsWithoutPage(flags);
        }
        if (pendingDelta_ != 0 || enrolledDelta_ != 0) {
            CLockUsersRecordset users(db);
            users.FindByKey(userKey_);
            users.Edit();
            users.m_PendingActionCounter += pendingDelta_;
            users.m_EnrolledLockCounter += enrolledDelta_;
            users.Update();
        }
        transaction.Commit();
    } catch (const dao::Error&) {
        prompter_.Message(isNew ? texts::kErrorAddingUser : texts::kErrorUpdatingDatabase,
                          PromptIcon::Exclamation);
        if (isNew) userKey_ = -1;
        return false;
    }
    storedGeneral_ = general_;
    storedGroups_ = groups_;
    storedNotes_ = notes_;
    locks_.clear();
    locksLoaded_ = false;
    return true;
}

bool CLockUsersSheet::WriteUserRow(const QDate& today, int flags) {
    CLockUsersRecordset u(doc_.Db());
    const bool isNew = IsNew();
    if (isNew) {
        u.AddNew();
        if (u.m_UserKey >= kUserKeyLimit) {
            u.CancelUpdate();
            prompter_.Message(texts::kOutOfKeys, PromptIcon::Stop);
            return false;
        }
        userKey_ = u.m_UserKey;
        u.m_RevisionCounter = 1;
        u.m_PendingActionCounter = 0;
        u.m_EnrolledLockCounter = 0;
        u.m_RecordState = kUserActive;
    } else {
        u.FindByKey(userKey_);
        u.Edit();
        if (flags & kReachesEveryLock) u.m_RevisionCounter += 1;
    }
    const UserGeneralPage& g = general_;
    u.m_LastName = g.lastName;
    u.m_FirstName = g.firstName;
    u.m_MiddleInitial = g.middleInitial;
    u.m_LockIDcode = g.id;
    u.m_CardMedia = g.idType != kIdCode;
    if (g.idType != kIdCode) u.m_CardMediaType = static_cast<std::uint8_t>(g.idType);
    u.m_CardIssueNumber = g.cardIssueNumber;
    u.m_CardExpireDate = g.cardExpireDate;
    u.m_UserType = static_cast<std::uint8_t>(g.userType);
    u.m_Rights = static_cast<std::uint8_t>(g.rights);
    u.m_HomeGroup = static_cast<std::uint8_t>(std::max(groups_.homeGroup, 0));
    u.m_GroupMask = static_cast<std::uint8_t>(groups_.groupMask);
    u.m_Reference = notes_.reference;
    u.m_Contact1 = notes_.contact1;
    u.m_Contact2 = notes_.contact2;
    UserPins pins = AutocodePins(doc_, u.m_HomeGroup, g.id, today).value_or(UserPins{g.pin, g.pin});
    u.m_CurPIN = pins.current;
    u.m_NextPIN = pins.next;
    u.Update();
    return true;
}

}  // namespace tandrel
