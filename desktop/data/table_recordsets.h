#pragma once

#include "desktop/data/bound_recordset.h"

namespace tandrel {

// One recordset class per table of the facility database (and the lock OS
// file); one typed member per field, in ordinal order.

// [FacilityProperties]
class CFacilityPropertiesRecordset : public CTableRecordset {
  public:
    explicit CFacilityPropertiesRecordset(dao::Database& db) {
        Open(db, QStringLiteral("FacilityProperties"));
    }

    QString m_FacilityCode;
    QString m_Name;
    std::int16_t m_Revision = 0;
    std::int32_t m_CommCode = 0;
    std::int16_t m_UserGroupTableRevision = 0;
    std::uint8_t m_IDCodeLength = 0;
    std::uint8_t m_PINLength = 0;
    std::uint8_t m_DaylightSavings = 0;
    std::uint8_t m_DSTAheadDay = 0;
    std::uint8_t m_DSTAheadMonth = 0;
    std::uint8_t m_DSTBackDay = 0;
    std::uint8_t m_DSTBackMonth = 0;
    std::uint8_t m_CardTrack = 0;
    std::uint8_t m_CardIDPosIsField = 0;
    std::uint8_t m_CardIDPosition = 0;
    std::uint8_t m_CardFacilityPosIsField = 0;
    std::uint8_t m_CardFacilityPosition = 0;
    std::uint8_t m_CardIssueIsField = 0;
    std::uint8_t m_CardIssuePosition = 0;
    std::uint8_t m_CardExpireIsField = 0;
    std::uint8_t m_CardExpirePosition = 0;
    std::uint8_t m_CardExpireFormat = 0;
    std::uint8_t m_CardExpireThru = 0;
    std::int32_t m_DBVersion = 0;
    QDateTime m_LastModified;
    QDateTime m_LastAccess;
    std::uint8_t m_RecordState = 0;
    QString m_Contact1Name;
    QString m_Contact2Name;
    QString m_ReferenceName;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_FacilityCode);
        fx.Field(1, m_Name);
        fx.Field(2, m_Revision);
        fx.Field(3, m_CommCode);
        fx.Field(4, m_UserGroupTableRevision);
        fx.Field(5, m_IDCodeLength);
        fx.Field(6, m_PINLength);
        fx.Field(7, m_DaylightSavings);
        fx.Field(8, m_DSTAheadDay);
        fx.Field(9, m_DSTAheadMonth);
        fx.Field(10, m_DSTBackDay);
        fx.Field(11, m_DSTBackMonth);
        fx.Field(12, m_CardTrack);
        fx.Field(13, m_CardIDPosIsField);
        fx.Field(14, m_CardIDPosition);
        fx.Field(15, m_CardFacilityPosIsField);
        fx.Field(16, m_CardFacilityPosition);
        fx.Field(17, m_CardIssueIsField);
        fx.Field(18, m_CardIssuePosition);
        fx.Field(19, m_CardExpireIsField);
        fx.Field(20, m_CardExpirePosition);
        fx.Field(21, m_CardExpireFormat);
        fx.Field(22, m_CardExpireThru);
        fx.Field(23, m_DBVersion);
        fx.Field(24, m_LastModified);
        fx.Field(25, m_LastAccess);
        fx.Field(26, m_RecordState);
        fx.Field(27, m_Contact1Name);
        fx.Field(28, m_Contact2Name);
        fx.Field(29, m_ReferenceName);
    }
};

// [Audit Data]
class CAuditDataRecordset : public CTableRecordset {
  public:
    explicit CAuditDataRecordset(dao::Database& db) { Open(db, QStringLiteral("Audit Data")); }

    std::int32_t m_LockKey = 0;
    std::int32_t m_AuditKey = 0;
    std::int32_t m_UserKey = 0;
    std::uint8_t m_Event = 0;
    QDateTime m_TimeStamp;
    std::uint8_t m_AccessLevel = 0;
    std::uint8_t m_UserGroups = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_LockKey);
        fx.Field(1, m_AuditKey);
        fx.Field(2, m_UserKey);
        fx.Field(3, m_Event);
        fx.Field(4, m_TimeStamp);
        fx.Field(5, m_AccessLevel);
        fx.Field(6, m_UserGroups);
    }
};

// [Handheld PCs]
class CMobileDevicesRecordset : public CTableRecordset {
  public:
    explicit CMobileDevicesRecordset(dao::Database& db) {
        Open(db, QStringLiteral("Handheld PCs"));
    }

    std::int32_t m_HPCKey = 0;
    QString m_Name;
    QString m_Description;
    QString m_AssignedTo;
    QString m_FerrowVersion;
    std::uint8_t m_RecordState = 0;
    std::int32_t m_MobileType = 0;
    QString m_IPAddress;
    std::int32_t m_PortNumber = 0;
    std::int32_t m_Spare1 = 0;
    std::int32_t m_Spare2 = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_HPCKey);
        fx.Field(1, m_Name);
        fx.Field(2, m_Description);
        fx.Field(3, m_AssignedTo);
        fx.Field(4, m_FerrowVersion);
        fx.Field(5, m_RecordState);
        fx.Field(6, m_MobileType);
        fx.Field(7, m_IPAddress);
        fx.Field(8, m_PortNumber);
        fx.Field(9, m_Spare1);
        fx.Field(10, m_Spare2);
    }
};

// [Holidays]
class CHolidaysRecordset : public CTableRecordset {
  public:
    explicit CHolidaysRecordset(dao::Database& db) { Open(db, QStringLiteral("Holidays")); }

    std::int32_t m_KeyLink = 0;
    QString m_Name;
    QDateTime m_StartDateTime;
    QDateTime m_EndDateTime;
    bool m_UseSchedule = false;
    std::uint8_t m_Schedule = 0;
    std::uint8_t m_Level = 0;
    std::uint8_t m_GroupMask = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_KeyLink);
        fx.Field(1, m_Name);
        fx.Field(2, m_StartDateTime);
        fx.Field(3, m_EndDateTime);
        fx.Field(4, m_UseSchedule);
        fx.Field(5, m_Schedule);
        fx.Field(6, m_Level);
        fx.Field(7, m_GroupMask);
    }
};

// [Lock Paths]
class CFacilityDirectoryRecordset : public CTableRecordset {
  public:
    explicit CFacilityDirectoryRecordset(dao::Database& db) {
        Open(db, QStringLiteral("Lock Paths"));
    }

    std::int32_t m_DirectoryKey = 0;
    QString m_NodeName;
    std::int32_t m_RootIndex = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_DirectoryKey);
        fx.Field(1, m_NodeName);
        fx.Field(2, m_RootIndex);
        fx.Field(3, m_RecordState);
    }
};

// [Locks]
class CLocksRecordset : public CTableRecordset {
  public:
    explicit CLocksRecordset(dao::Database& db) { Open(db, QStringLiteral("Locks")); }

    std::int32_t m_LockKey = 0;
    std::int32_t m_PathIndex = 0;
    QString m_FullPath;
    QString m_Name;
    QString m_SerialNumber;
    QString m_ModelNumber;
    std::int16_t m_UserCapacity = 0;
    std::int16_t m_ScheduleCapacity = 0;
    std::int16_t m_HolidayListCapacity = 0;
    std::int16_t m_OpenDelaySeconds = 0;
    std::int16_t m_FacilityCode = 0;
    std::uint8_t m_ReaderConfiguration = 0;
    QDateTime m_LastProgramDate;
    QDateTime m_InstallDate;
    QDateTime m_BatteryInstallDate;
    std::int16_t m_SupplyVolts = 0;
    std::int16_t m_DownloadedOpenDelaySeconds = 0;
    std::int16_t m_DownloadedFacilityRev = 0;
    std::int16_t m_DownloadedUGTableRev = 0;
    std::int16_t m_DownloadedTSRev = 0;
    std::int16_t m_HardwareClass = 0;
    std::int16_t m_FirmwareVersion = 0;
    std::int32_t m_DeviceLink = 0;
    std::uint8_t m_DeviceLinkState = 0;
    bool m_DeviceAuditEnable = false;
    std::int32_t m_TSLink = 0;
    std::int32_t m_DriveUsageCounter = 0;
    std::int32_t m_CardSwipeCounter = 0;
    std::int32_t m_EnrolledUserCounter = 0;
    std::uint8_t m_DataDownloadedFlag = 0;
    std::int32_t m_PendingActionCounter = 0;
    bool m_RebuildUserList = false;
    std::uint8_t m_AuditGetAll = 0;
    std::int16_t m_PgmIDCount = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_LockKey);
        fx.Field(1, m_PathIndex);
        fx.Field(2, m_FullPath);
        fx.Field(3, m_Name);
        fx.Field(4, m_SerialNumber);
        fx.Field(5, m_ModelNumber);
        fx.Field(6, m_UserCapacity);
        fx.Field(7, m_ScheduleCapacity);
        fx.Field(8, m_HolidayListCapacity);
        fx.Field(9, m_OpenDelaySeconds);
        fx.Field(10, m_FacilityCode);
        fx.Field(11, m_ReaderConfiguration);
        fx.Field(12, m_LastProgramDate);
        fx.Field(13, m_InstallDate);
        fx.Field(14, m_BatteryInstallDate);
        fx.Field(15, m_SupplyVolts);
        fx.Field(16, m_DownloadedOpenDelaySeconds);
        fx.Field(17, m_DownloadedFacilityRev);
        fx.Field(18, m_DownloadedUGTableRev);
        fx.Field(19, m_DownloadedTSRev);
        fx.Field(20, m_HardwareClass);
        fx.Field(21, m_FirmwareVersion);
        fx.Field(22, m_DeviceLink);
        fx.Field(23, m_DeviceLinkState);
        fx.Field(24, m_DeviceAuditEnable);
        fx.Field(25, m_TSLink);
        fx.Field(26, m_DriveUsageCounter);
        fx.Field(27, m_CardSwipeCounter);
        fx.Field(28, m_EnrolledUserCounter);
        fx.Field(29, m_DataDownloadedFlag);
        fx.Field(30, m_PendingActionCounter);
        fx.Field(31, m_RebuildUserList);
        fx.Field(32, m_AuditGetAll);
        fx.Field(33, m_PgmIDCount);
        fx.Field(34, m_RecordState);
    }
};

// [Time Schedule]
class CTimeSchedulesRecordset : public CTableRecordset {
  public:
    explicit CTimeSchedulesRecordset(dao::Database& db) {
        Open(db, QStringLiteral("Time Schedule"));
    }

    std::int32_t m_ScheduleKey = 0;
    QString m_Name;
    std::int16_t m_RevisionCounter = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_ScheduleKey);
        fx.Field(1, m_Name);
        fx.Field(2, m_RevisionCounter);
    }
};

// [Time Schedule Events]
class CScheduleEventsRecordset : public CTableRecordset {
  public:
    explicit CScheduleEventsRecordset(dao::Database& db) {
        Open(db, QStringLiteral("Time Schedule Events"));
    }

    std::int32_t m_SchedLink = 0;
    std::uint8_t m_Schedule = 0;
    std::int32_t m_Event = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_SchedLink);
        fx.Field(1, m_Schedule);
        fx.Field(2, m_Event);
    }
};

// [User Groups]
class CGroupsRecordset : public CTableRecordset {
  public:
    explicit CGroupsRecordset(dao::Database& db) { Open(db, QStringLiteral("User Groups")); }

    std::int16_t m_GroupKey = 0;
    QString m_GroupName;
    QString m_Reference;
    bool m_AutocodeEnabled = false;
    std::int16_t m_PINDate = 0;
    QString m_RecodeDate;
    std::uint8_t m_AutocodeIntervalType = 0;
    std::uint8_t m_AutocodeInterval = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_GroupKey);
        fx.Field(1, m_GroupName);
        fx.Field(2, m_Reference);
        fx.Field(3, m_AutocodeEnabled);
        fx.Field(4, m_PINDate);
        fx.Field(5, m_RecodeDate);
        fx.Field(6, m_AutocodeIntervalType);
        fx.Field(7, m_AutocodeInterval);
        fx.Field(8, m_RecordState);
    }
};

// [Users]
class CLockUsersRecordset : public CTableRecordset {
  public:
    explicit CLockUsersRecordset(dao::Database& db) { Open(db, QStringLiteral("Users")); }

    std::int32_t m_UserKey = 0;
    QString m_LastName;
    QString m_FirstName;
    QString m_MiddleInitial;
    QString m_Reference;
    QString m_Contact1;
    QString m_Contact2;
    std::uint8_t m_UserType = 0;
    std::uint8_t m_Rights = 0;
    QString m_LockIDcode;
    bool m_CardMedia = false;
    QString m_CardIssueNumber;
    QDateTime m_CardExpireDate;
    std::uint8_t m_HomeGroup = 0;
    std::uint8_t m_GroupMask = 0;
    QString m_CurPIN;
    QString m_NextPIN;
    std::int16_t m_RevisionCounter = 0;
    std::int32_t m_PendingActionCounter = 0;
    std::int32_t m_EnrolledLockCounter = 0;
    std::uint8_t m_RecordState = 0;
    std::uint8_t m_CardMediaType = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_UserKey);
        fx.Field(1, m_LastName);
        fx.Field(2, m_FirstName);
        fx.Field(3, m_MiddleInitial);
        fx.Field(4, m_Reference);
        fx.Field(5, m_Contact1);
        fx.Field(6, m_Contact2);
        fx.Field(7, m_UserType);
        fx.Field(8, m_Rights);
        fx.Field(9, m_LockIDcode);
        fx.Field(10, m_CardMedia);
        fx.Field(11, m_CardIssueNumber);
        fx.Field(12, m_CardExpireDate);
        fx.Field(13, m_HomeGroup);
        fx.Field(14, m_GroupMask);
        fx.Field(15, m_CurPIN);
        fx.Field(16, m_NextPIN);
        fx.Field(17, m_RevisionCounter);
        fx.Field(18, m_PendingActionCounter);
        fx.Field(19, m_EnrolledLockCounter);
        fx.Field(20, m_RecordState);
        fx.Field(21, m_CardMediaType);
    }
};

// [Users to Locks]
class CUsersToLocksRecordset : public CTableRecordset {
  public:
    explicit CUsersToLocksRecordset(dao::Database& db) {
        Open(db, QStringLiteral("Users to Locks"));
    }

    std::int32_t m_LockIndex = 0;
    std::int16_t m_LockUserIndex = 0;
    std::int32_t m_UserIndex = 0;
    bool m_UseTypeDefaults = false;
    std::uint8_t m_UserType = 0;
    std::int16_t m_DownloadUserRevNumber = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_LockIndex);
        fx.Field(1, m_LockUserIndex);
        fx.Field(2, m_UserIndex);
        fx.Field(3, m_UseTypeDefaults);
        fx.Field(4, m_UserType);
        fx.Field(5, m_DownloadUserRevNumber);
        fx.Field(6, m_RecordState);
    }
};

// [LOS]
class CLOSRecordset : public CTableRecordset {
  public:
    explicit CLOSRecordset(dao::Database& db) { Open(db, QStringLiteral("LOS")); }

    std::int32_t m_PlatformRcd = 0;
    QString m_PgmData;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_PlatformRcd);
        fx.Field(1, m_PgmData);
    }
};

}  // namespace tandrel
