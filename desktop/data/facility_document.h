#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/data/facility_backups.h"
#include "desktop/data/prompter.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"
#include "platform/dao/database.h"
#include "platform/dao/error.h"

namespace dao {
class ScratchFile;
}

namespace tandrel {

class AppSettings;

// What the application keeps about the facility in use: where new
// facilities go, and the password that opened the current one (empty when
// it has none).
struct FacilitySession {
    QString facilitiesFolder;
    QString password;
    QString path;
};

// The values the new-facility wizard collects.
struct NewFacilityValues {
    QString name;
    QString facilityCode;
    int idCodeLength = 4;
    int pinLength = 3;
    int daylightSavings = 1;
    int dstAheadDay = 255, dstAheadMonth = 255, dstBackDay = 255, dstBackMonth = 255;
    int cardTrack = 255;
    int cardIDPosIsField = 0, cardIDPosition = 1;
    int cardFacilityPosIsField = 0, cardFacilityPosition = 1;
    int cardIssueIsField = 0, cardIssuePosition = 1;
    int cardExpireIsField = 0, cardExpirePosition = 1;
    int cardExpireFormat = 0, cardExpireThru = 0;
    QString contact1Name = QStringLiteral("Contact1");
    QString contact2Name = QStringLiteral("Contact2");
    QString referenceName = QStringLiteral("Reference");
};

// The choices of the compaction's purge dialog, as entered.
struct PurgeEntry {
    bool purge = false;
    QString dateText;  // "mm/dd/yyyy"
};

// The one document of the facility manager: the open facility database and
// its shared recordsets, and the facility-level operations (new, open with
// password, version check and conversion, password, compaction, forced
// refresh). Every message and question goes through the prompter.
class CTDXDoc {
  public:
    CTDXDoc(FacilitySession& session, AppSettings& settings, Prompter& prompter);
    ~CTDXDoc();

    // Creates the facility in the facilities folder, opens it, and offers to
    // set a password. `created` is the moment the communication code comes
    // from.
    bool NewFacility(const NewFacilityValues& values,
                     const QDateTime& created = QDateTime::currentDateTime());
    bool OpenFacility(const QString& path);
    void CloseFacility();
    bool IsOpen() const { return db_ != nullptr; }

    // The "Set Facility Password" dialog: repeats until a valid entry or
    // Cancel, then sets or removes the password.
    bool SetFacilityPassword();
    // Sets the password in force on the file (empty removes it).
    bool ChangePassword(const QString& newPassword);

    // Marks each lock for a complete reprogramming.
    bool ForceRefresh(const std::vector<int>& lockKeys);
    std::vector<int> AllLockKeys();

    // Interactive compaction: the purge dialog first (its choices come from
    // the prompter through `askPurge`), then the compaction.
    bool CompactInteractive(
        const std::function<std::optional<PurgeEntry>(const PurgeEntry&)>& askPurge,
        const QDate& today = QDate::currentDate());
    // Compaction without a dialog; with a date, audit events on or before it
    // are purged.
    bool Compact(std::optional<QDate> purgeBefore);

    // Writes a copy of the open facility, with its password, to the new
    // file `destination`; it never replaces a file and appears whole or not
    // at all.
    bool Backup(const QString& destination);

    dao::Database& Db() { return *db_; }
    const QString& Path() const { return session_.path; }

    // The shared recordsets, open while the facility is.
    std::unique_ptr<CFacilityPropertiesRecordset> m_pFacilityProperties;
    std::unique_ptr<CFacilityDirectoryRecordset> m_pFacilityDirectory;
    std::unique_ptr<CLocksRecordset> m_pLocks;
    std::unique_ptr<CGroupsRecordset> m_pGroups;
    std::unique_ptr<CLockUsersRecordset> m_pLockUsers;
    std::unique_ptr<CTimeSchedulesRecordset> m_pTimeSchedules;
    std::unique_ptr<CScheduleEventsRecordset> m_pScheduleEvents;
    std::unique_ptr<CHolidaysRecordset> m_pHolidays;
    std::unique_ptr<CMobileDevicesRecordset> m_pMobileDevices;
    std::unique_ptr<CUsersToLocksRecordset> m_pUsersToLocks;
    std::unique_ptr<CAuditDataRecordset> m_pAuditData;

    std::unique_ptr<CLocksToUserQuerySet> m_pLocksToUser;
    std::unique_ptr<CUsersToLockQuerySet> m_pUsersToLock;
    std::unique_ptr<CLocksToDeviceQuerySet> m_pLocksToDevice;
    std::unique_ptr<CAuditLogRecordQS> m_pAuditLogRecord;
    std::unique_ptr<CLocksToTSQuerySet> m_pLocksToTS;
    std::unique_ptr<CScheduleEventsQuerySet> m_pScheduleEventsQuery;
    std::unique_ptr<CHolidayListQuerySet> m_pHolidayList;
    std::unique_ptr<CLocksInPathQuerySet> m_pLocksInPath;

  private:
    enum class VersionResult { Current, Convert, Refused };

    std::unique_ptr<dao::Database> OpenWithPassword(const QString& path);
    VersionResult CheckVersion();
    bool ConvertDatabase();
    bool RecodeUserTypes();
    void OfferRename(const QString& path);
    void OpenRecordsets();
    void CloseRecordsets();
    void ShowEngineError(const dao::Error& e);
    bool CopyToWorkFile(dao::ScratchFile& work, std::optional<QDate> purgeBefore);
    bool ReplaceWithWorkFile(dao::ScratchFile& work);

    FacilitySession& session_;
    AppSettings& settings_;
    Prompter& prompter_;
    std::unique_ptr<dao::Database> db_;
};

}  // namespace tandrel
