#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

#include "desktop/admin/enrolment_draft.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/facility_states.h"

namespace tandrel {

// ID types of a user: keyed code, magnetic card, proximity card.
enum IdType : int { kIdCode = 0, kIdMagCard = 1, kIdProxCard = 2 };
QString IdTypeName(int idType);  // "Code", "Mag Card", "Prox Card"
// The ID type of a Users row.
int IdTypeOf(const CLockUsersRecordset& user);
// The rights bits a user type can carry (Manager 6, Programmer 4, others none).
int AllowedRights(int userType);
// A user as the user list names it: "Last, First" and " M." for a middle initial.
QString UserListName(const QString& last, const QString& first, const QString& middle);

// The General page ("CLUPInfoPage") as the administrator edits it.
struct UserGeneralPage {
    QString lastName, firstName, middleInitial;
    int idType = kIdCode;
    QString id;
    QString cardIssueNumber = QStringLiteral("0");
    QDateTime cardExpireDate;
    int userType = -1;  // the default lock ID type; -1 while none is chosen
    int rights = 0;
    QString pin;
};

// The Group Membership page.
struct UserGroupsPage {
    int groupMask = 1;
    int homeGroup = -1;  // -1 while none is chosen
};

// The Notes page, under the facility's captions.
struct UserNotesPage {
    QString reference, contact1, contact2;
};

// One lock on the Lock Enrollment page.
struct LockEnrolmentEntry {
    EnrolmentDraft draft;   // as the page shows it
    EnrolmentDraft stored;  // as the database holds it
    QString lockName;
    int capacity = 0;
    int freeSlots = 0;
    int programmers = 0;
};

enum class UserField {
    LastName,
    FirstName,
    MiddleInitial,
    Id,
    CardIssueNumber,
    UserType,
    Pin,
    HomeGroup,
    Reference,
    Contact1,
    Contact2
};

// The lock user property sheet ("CLockUsersSheet"): the working copy of one
// user across its pages, the page checks, the enrolment page's operations
// and the save that writes everything in one transaction. Messages and
// questions go through the prompter.
class CLockUsersSheet {
  public:
    // A new user ("New Lock User Wizard").
    static std::unique_ptr<CLockUsersSheet> NewUser(CTDXDoc& doc, Prompter& prompter);
    // A new user prefilled from an existing one (its enrolments are not copied).
    static std::unique_ptr<CLockUsersSheet> CopyUser(CTDXDoc& doc, Prompter& prompter, int source);
    // An existing user; a user pending removal is opened only after the
    // question. nullptr when declined or not found.
    static std::unique_ptr<CLockUsersSheet> EditUser(CTDXDoc& doc, Prompter& prompter, int userKey);

    bool IsNew() const { return userKey_ < 0; }
    int UserKey() const { return userKey_; }
    bool PendingRemoval() const { return storedRecordState_ == kUserPendingRemoval; }

    UserGeneralPage& General() { return general_; }
    UserGroupsPage& Groups() { return groups_; }
    UserNotesPage& Notes() { return notes_; }

    // Sets the default lock ID type, keeping only the rights it can carry.
    void SetUserType(int userType);

    // The page checks, in their order; the first failure is shown and
    // `field` names the field to focus.
    bool CheckGeneralPage(UserField* field = nullptr);
    bool CheckGroupsPage();
    // The Notes page: texts that fit their fields, without control
    // characters.
    bool CheckNotesPage(UserField* field = nullptr);

    // The Lock Enrollment page: every lock of the facility.
    const std::vector<LockEnrolmentEntry>& LockEntries();
    // Enrols into the locks (in order); false when the full-list question
    // was answered No.
    bool Enrol(const std::vector<int>& lockKeys);
    // Enrols into every lock at or below a location.
    bool EnrolLocation(int directoryKey);
    // Removes from the locks; false when the last-programmer question was
    // answered No.
    bool Remove(const std::vector<int>& lockKeys);
    // "User Lock Properties": a new type byte for an enrolled lock; false
    // (a beep) for a lock the user is not enrolled in.
    bool SetLockUserType(int lockKey, int typeCode, int rights, bool useDefaults);

    // The UserChange bits of what the pages changed.
    int ChangeFlags() const;

    // Writes the sheet in one transaction; false (with the message shown)
    // when nothing could be written.
    bool Save(const QDate& today = QDate::currentDate());
    // OK / Finish: the checks of every page, then the save.
    bool Ok() { return CheckGeneralPage() && CheckGroupsPage() && CheckNotesPage() && Save(); }

  private:
    CLockUsersSheet(CTDXDoc& doc, Prompter& prompter) : doc_(doc), prompter_(prompter) {}
    void LoadUser(int userKey);
    bool Fail(const QString& message, UserField which, UserField* field);
    bool CheckNames(UserField* field);
    bool CheckName(UserField which, UserField* field);
    bool CheckCardIssueText(UserField* field);
    // What the engine would refuse in the texts, checked again on saving.
    bool CheckTextsFit(UserField* field = nullptr);
    bool CheckId(const CFacilityPropertiesRecordset& facility, UserField* field);
    bool CheckPin(const CFacilityPropertiesRecordset& facility, UserField* field);
    bool HomeGroupHasAutocode();
    LockEnrolmentEntry* Entry(int lockKey);
    std::uint8_t DefaultTypeByte() const;
    bool IdInUse();

    bool WriteUserRow(const QDate& today, int flags);
    void WritePageEnrolments(int flags);
    void WriteEnrolmentsWithoutPage(int flags);

    CTDXDoc& doc_;
    Prompter& prompter_;
    int userKey_ = -1;
    int storedRecordState_ = kUserActive;
    UserGeneralPage general_, storedGeneral_;
    UserGroupsPage groups_, storedGroups_;
    UserNotesPage notes_, storedNotes_;
    int cardMediaType_ = 0;
    std::vector<LockEnrolmentEntry> locks_;
    bool locksLoaded_ = false;
    int pendingDelta_ = 0;   // change of the user's Pending Action Counter
    int enrolledDelta_ = 0;  // change of the user's Enrolled Lock Counter
};

}  // namespace tandrel
