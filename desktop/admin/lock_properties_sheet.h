#pragma once

#include <QDateTime>
#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

#include "desktop/admin/enrolment_draft.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/facility_states.h"

namespace tandrel {

// The Info page as the administrator edits it.
struct LockInfoPage {
    QString name = QStringLiteral("New Lock");
    int pathIndex = 1;
    QString serialNumber, modelNumber;
    int openDelaySeconds = 3;
    QString installDate, batteryInstallDate;  // typed dates, "mm/dd/yyyy" or empty
    int tsLink = 0;
    int deviceLink = 0;
    bool deviceAuditEnable = true;
    int userCapacity = 2000;
};

// What the Status page shows.
struct LockStatusTexts {
    QString device;           // "< None >" or the device name and its state text
    QString lastProgramDate;  // "%m/%d/%y   %I:%M %p", empty before the first
    QString battery;          // "High", "Normal", "Low", "REPLACE!" once programmed
    QString hardwareClass;    // "%u"
    QString firmwareVersion;  // "%u.%02u"
};

// One user on the User Enrollment page.
struct LockUserEntry {
    EnrolmentDraft draft;
    EnrolmentDraft stored;
    QString userName;
    int userRecordState = kUserActive;
};

enum class LockField {
    Name,
    SerialNumber,
    ModelNumber,
    OpenDelay,
    InstallDate,
    BatteryInstallDate,
    UserCapacity
};

inline constexpr int kMinUserCapacity = 1;
inline constexpr int kMaxUserCapacity = 2000;

// The battery judgement of a supply voltage in millivolts.
QString BatteryJudgement(int supplyVolts);
// " < Pending Enrollment >", " < Pending Update >", " < Pending Removal >"
// for device link states 2 to 4; empty otherwise.
QString DeviceLinkStateText(int state);

// The lock property sheet ("CLockPropertiesSheet"): Info, Status and User
// Enrollment pages over a working copy, saved in one transaction.
class CLockPropertiesSheet {
  public:
    static std::unique_ptr<CLockPropertiesSheet> NewLock(CTDXDoc& doc, Prompter& prompter,
                                                         int pathIndex);
    // A new lock prefilled from the copied one's Info page ("&Paste
    // Lock..."); nullptr when the source is not found.
    static std::unique_ptr<CLockPropertiesSheet> PasteLock(CTDXDoc& doc, Prompter& prompter,
                                                           int source, int pathIndex);
    // nullptr when the lock is not found.
    static std::unique_ptr<CLockPropertiesSheet> EditLock(CTDXDoc& doc, Prompter& prompter,
                                                          int lockKey);

    bool IsNew() const { return lockKey_ < 0; }
    int LockKey() const { return lockKey_; }
    LockInfoPage& Info() { return info_; }

    bool CheckInfoPage(LockField* field = nullptr);
    LockStatusTexts Status() const;

    const std::vector<LockUserEntry>& Users() const { return users_; }
    // Enrols users; a user the full lock cannot take is reported and the
    // others go on.
    void EnrolUsers(const std::vector<int>& userKeys);
    // Removes users; false when the last-programmer question was answered No.
    bool RemoveUsers(const std::vector<int>& userKeys);
    bool SetUserType(int userKey, int typeCode, int rights, bool useDefaults);
    // Whether the page offers actions for the user (not for one pending
    // removal from the facility, which is told so).
    bool UserActionsAllowed(int userKey);
    // Leaving the page needs at least one programmer enrolled.
    bool CheckUserPage();
    // Slots of the user list not taken by an enrolment (stored or added on
    // the page).
    int FreeSlots() const { return std::max(0, info_.userCapacity - usedSlots_); }
    int Programmers() const { return programmers_; }

    bool Save();

  private:
    CLockPropertiesSheet(CTDXDoc& doc, Prompter& prompter) : doc_(doc), prompter_(prompter) {}
    void Load(int lockKey);
    LockUserEntry* EntryOf(int userKey);
    LockUserEntry& AddCandidate(int userKey);
    bool Fail(const QString& message, LockField which, LockField* field);
    bool CheckName(LockField* field);
    bool CheckTexts(LockField* field);
    bool CheckCapacity(LockField* field);
    int HighestKeptSlot() const;
    bool WriteLockRow();
    void WriteEnrolments();
    void FlagDevice();

    CTDXDoc& doc_;
    Prompter& prompter_;
    int lockKey_ = -1;
    LockInfoPage info_, stored_;
    int deviceLinkState_ = kLinkCurrent;
    QDateTime lastProgramDate_;
    int supplyVolts_ = 0, hardwareClass_ = 0, firmwareVersion_ = 0;
    std::vector<LockUserEntry> users_;
    int usedSlots_ = 0;  // enrolment rows the lock keeps, and those added on the page
    int programmers_ = 0;
};

}  // namespace tandrel
