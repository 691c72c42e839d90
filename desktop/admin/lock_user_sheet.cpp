#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/digits.h"
#include "desktop/admin/page_check.h"

#include "desktop/admin/location_path.h"
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/user_pins.h"
#include "desktop/admin/user_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

constexpr int kMinCardDigits = 4;
constexpr int kMaxCardDigits = 19;
constexpr int kUserKeyLimit = 65535;
constexpr int kNoCardIssueNumber = 2;

int IdTypeOfRow(const CLockUsersRecordset& u) {
    if (!u.m_CardMedia) return kIdCode;
    return u.m_CardMediaType == kIdProxCard ? kIdProxCard : kIdMagCard;
}

}  // namespace

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
    sheet->storedRecordState_ = 1;
    sheet->storedGeneral_ = UserGeneralPage{};
    sheet->storedGroups_ = UserGroupsPage{};
    sheet->locks_.clear();
    sheet->locksLoaded_ = false;
    return sheet;
}

std::unique_ptr<CLockUsersSheet> CLockUsersSheet::EditUser(CTDXDoc& doc, Prompter& prompter,
                                                           int userKey) {
    CLockUsersRecordset& users = *doc.m_pLockUsers;
    users.SetCurrentIndex("PrimaryKey");
    if (!users.Seek("=", {userKey})) return nullptr;
    if (users.m_RecordState == 4 &&
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
    general_ = {u.m_LastName,   u.m_FirstName,       u.m_MiddleInitial,  IdTypeOfRow(u),
                u.m_LockIDcode, u.m_CardIssueNumber, u.m_CardExpireDate, u.m_UserType,
                u.m_Rights,     u.m_CurPIN};
    groups_ = {u.m_GroupMask, u.m_HomeGroup};
    notes_ = {u.m_Reference, u.m_Contact1, u.m_Contact2};
    cardMediaType_ = u.m_CardMediaType;
    storedGeneral_ = general_;
    storedGroups_ = groups_;
}

void CLockUsersSheet::SetUserType(int userType) {
    general_.userType = userType;
    general_.rights &= AllowedRights(userType);
}

bool CLockUsersSheet::Fail(const QString& message, UserField which, UserField* field) {
    return RefuseField(prompter_, message, which, field);
}

bool CLockUsersSheet::HomeGroupHasAutocode() {
    if (groups_.homeGroup < 0) return false;
    CGroupsRecordset& groups = *doc_.m_pGroups;
    groups.SetCurrentIndex("PrimaryKey");
    return groups.Seek("=", {groups_.homeGroup}) && groups.m_AutocodeEnabled;
}

bool CLockUsersSheet::IdInUse() {
    CLockUsersRecordset users(doc_.Db());
    users.SetCurrentIndex("Lock ID code");
    for (users.Seek("=", {general_.id}); users.HasCurrent() && users.m_LockIDcode == general_.id;
         users.MoveNext()) {
        if (users.m_UserKey != userKey_ && users.m_RecordState != 0 &&
            IdTypeOfRow(users) == general_.idType) {
            return true;
        }
    }
    return false;
}

bool CLockUsersSheet::CheckGeneralPage(UserField* field) {
    UserGeneralPage& g = general_;
    g.lastName = g.lastName.trimmed();
    g.firstName = g.firstName.trimmed();
    const bool isNew = IsNew();
    if ((isNew || g.lastName != storedGeneral_.lastName) && g.lastName.isEmpty()) {
        return Fail(texts::kMustEnterLastName, UserField::LastName, field);
    }
    if ((isNew || g.firstName != storedGeneral_.firstName) && g.firstName.isEmpty()) {
        return Fail(texts::kMustEnterFirstName, UserField::FirstName, field);
    }
    if (!AllDigits(g.id)) return Fail(texts::kIdNumericOnly, UserField::Id, field);
    CFacilityPropertiesRecordset& facility = *doc_.m_pFacilityProperties;
    facility.MoveFirst();
    const bool idChanged = g.id != storedGeneral_.id || g.idType != storedGeneral_.idType;
    if (isNew || idChanged) {
        const int length = static_cast<int>(g.id.size());
        if (g.id.isEmpty()) return Fail(texts::kMustEnterValidId, UserField::Id, field);
        if (g.idType == kIdCode && length != facility.m_IDCodeLength) {
            return Fail(texts::CodeIdLength(facility.m_IDCodeLength), UserField::Id, field);
        }
        if (g.idType != kIdCode && (length < kMinCardDigits || length > kMaxCardDigits)) {
            return Fail(texts::CardIdLength(kMinCardDigits, kMaxCardDigits), UserField::Id, field);
        }
        if (IdInUse())
            return Fail(IdTypeName(g.idType) + texts::kIdInUseSuffix, UserField::Id, field);
    }
    if (g.idType == kIdMagCard && facility.m_CardIssueIsField != kNoCardIssueNumber &&
        (g.cardIssueNumber.isEmpty() || !AllDigits(g.cardIssueNumber))) {
        return Fail(texts::kCardIssueNumber, UserField::CardIssueNumber, field);
    }
    if (g.userType < 0) return Fail(texts::kSelectDefaultType, UserField::UserType, field);
    if (HomeGroupHasAutocode()) return true;
    // An empty PIN is refused only where one must be given; the length and
    // digit checks are for PINs that were typed.
    if (!g.pin.isEmpty()) {
        if (g.pin.size() > facility.m_PINLength)
            return Fail(texts::kPinMustShorter, UserField::Pin, field);
        if (g.pin.size() < facility.m_PINLength)
            return Fail(texts::kPinMustLonger, UserField::Pin, field);
        if (!AllDigits(g.pin)) return Fail(texts::kPinNumericOnly, UserField::Pin, field);
    } else if (isNew || g.pin != storedGeneral_.pin) {
        return Fail(texts::kMustEnterPin, UserField::Pin, field);
    }
    return true;
}

bool CLockUsersSheet::CheckGroupsPage() {
    if (groups_.homeGroup >= 0) return true;
    prompter_.Message(texts::kSelectHomeGroup, PromptIcon::Exclamation);
    return false;
}

int CLockUsersSheet::ChangeFlags() const {
    const UserGeneralPage& g = general_;
    const UserGeneralPage& s = storedGeneral_;
    int flags = 0;
    if (g.userType != s.userType || g.rights != s.rights) flags |= 1;
    bool pinCounts = g.pin != s.pin && !const_cast<CLockUsersSheet*>(this)->HomeGroupHasAutocode();
    if (g.id != s.id || g.idType != s.idType || g.cardIssueNumber != s.cardIssueNumber ||
        pinCounts) {
        flags |= 2;
    }
    if (groups_.homeGroup != storedGroups_.homeGroup ||
        groups_.groupMask != storedGroups_.groupMask) {
        flags |= 4;
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
        locks.SetCurrentIndex("PrimaryKey");
        if (locks.Seek("=", {e.draft.lockKey}) &&
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
        if (d.state == kCurrent) d.state = kPendingUpdate;
    }
    d.typeByte = byte;
    d.useDefaults = useDefaults;
    return true;
}

bool CLockUsersSheet::Save(const QDate& today) {
    if (!IsNew() && PendingRemoval()) return false;
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
            users.SetCurrentIndex("PrimaryKey");
            users.Seek("=", {userKey_});
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
    locks_.clear();
    locksLoaded_ = false;
    return true;
}

bool CLockUsersSheet::WriteUserRow(const QDate& today, int flags) {
    CLockUsersRecordset u(doc_.Db());
    u.SetCurrentIndex("PrimaryKey");
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
        u.m_RecordState = 1;
    } else {
        u.Seek("=", {userKey_});
        u.Edit();
        if (flags & 6) u.m_RevisionCounter += 1;
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
