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
        fx.Field(0, "FacilityCode", m_FacilityCode);
        fx.Field(1, "Name", m_Name);
        fx.Field(2, "Revision", m_Revision);
        fx.Field(3, "CommCode", m_CommCode);
        fx.Field(4, "UserGroupTableRevision", m_UserGroupTableRevision);
        fx.Field(5, "IDCodeLength", m_IDCodeLength);
        fx.Field(6, "PINLength", m_PINLength);
        fx.Field(7, "DaylightSavings", m_DaylightSavings);
        fx.Field(8, "DSTAheadDay", m_DSTAheadDay);
        fx.Field(9, "DSTAheadMonth", m_DSTAheadMonth);
        fx.Field(10, "DSTBackDay", m_DSTBackDay);
        fx.Field(11, "DSTBackMonth", m_DSTBackMonth);
        fx.Field(12, "CardTrack", m_CardTrack);
        fx.Field(13, "CardIDPosIsField", m_CardIDPosIsField);
        fx.Field(14, "CardIDPosition", m_CardIDPosition);
        fx.Field(15, "CardFacilityPosIsField", m_CardFacilityPosIsField);
        fx.Field(16, "CardFacilityPosition", m_CardFacilityPosition);
        fx.Field(17, "CardIssueIsField", m_CardIssueIsField);
        fx.Field(18, "CardIssuePosition", m_CardIssuePosition);
        fx.Field(19, "CardExpireIsField", m_CardExpireIsField);
        fx.Field(20, "CardExpirePosition", m_CardExpirePosition);
        fx.Field(21, "CardExpireFormat", m_CardExpireFormat);
        fx.Field(22, "CardExpireThru", m_CardExpireThru);
        fx.Field(23, "DBVersion", m_DBVersion);
        fx.Field(24, "LastModified", m_LastModified);
        fx.Field(25, "LastAccess", m_LastAccess);
        fx.Field(26, "RecordState", m_RecordState);
        fx.Field(27, "Contact1Name", m_Contact1Name);
        fx.Field(28, "Contact2Name", m_Contact2Name);
        fx.Field(29, "ReferenceName", m_ReferenceName);
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
        fx.Field(0, "LockKey", m_LockKey);
        fx.Field(1, "AuditKey", m_AuditKey);
        fx.Field(2, "UserKey", m_UserKey);
        fx.Field(3, "Event", m_Event);
        fx.Field(4, "TimeStamp", m_TimeStamp);
        fx.Field(5, "AccessLevel", m_AccessLevel);
        fx.Field(6, "UserGroups", m_UserGroups);
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
        fx.Field(0, "HPC Key", m_HPCKey);
        fx.Field(1, "Name", m_Name);
        fx.Field(2, "Description", m_Description);
        fx.Field(3, "AssignedTo", m_AssignedTo);
        fx.Field(4, "FerrowVersion", m_FerrowVersion);
        fx.Field(5, "Record State", m_RecordState);
        fx.Field(6, "Mobile Type", m_MobileType);
        fx.Field(7, "IP Address", m_IPAddress);
        fx.Field(8, "Port Number", m_PortNumber);
        fx.Field(9, "Spare1", m_Spare1);
        fx.Field(10, "Spare2", m_Spare2);
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
        fx.Field(0, "KeyLink", m_KeyLink);
        fx.Field(1, "Name", m_Name);
        fx.Field(2, "StartDateTime", m_StartDateTime);
        fx.Field(3, "EndDateTime", m_EndDateTime);
        fx.Field(4, "UseSchedule", m_UseSchedule);
        fx.Field(5, "Schedule", m_Schedule);
        fx.Field(6, "Level", m_Level);
        fx.Field(7, "GroupMask", m_GroupMask);
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
        fx.Field(0, "Directory Key", m_DirectoryKey);
        fx.Field(1, "Node Name", m_NodeName);
        fx.Field(2, "Root Index", m_RootIndex);
        fx.Field(3, "Record State", m_RecordState);
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
        fx.Field(0, "Lock Key", m_LockKey);
        fx.Field(1, "Path Index", m_PathIndex);
        fx.Field(2, "FullPath", m_FullPath);
        fx.Field(3, "Name", m_Name);
        fx.Field(4, "Serial Number", m_SerialNumber);
        fx.Field(5, "Model Number", m_ModelNumber);
        fx.Field(6, "User Capacity", m_UserCapacity);
        fx.Field(7, "Schedule Capacity", m_ScheduleCapacity);
        fx.Field(8, "Holiday List Capacity", m_HolidayListCapacity);
        fx.Field(9, "Open Delay Seconds", m_OpenDelaySeconds);
        fx.Field(10, "Facility Code", m_FacilityCode);
        fx.Field(11, "Reader Configuration", m_ReaderConfiguration);
        fx.Field(12, "Last Program Date", m_LastProgramDate);
        fx.Field(13, "Install Date", m_InstallDate);
        fx.Field(14, "Battery Install Date", m_BatteryInstallDate);
        fx.Field(15, "Supply Volts", m_SupplyVolts);
        fx.Field(16, "Downloaded Open Delay Seconds", m_DownloadedOpenDelaySeconds);
        fx.Field(17, "Downloaded Facility Rev", m_DownloadedFacilityRev);
        fx.Field(18, "Downloaded UG Table Rev", m_DownloadedUGTableRev);
        fx.Field(19, "Downloaded TS Rev", m_DownloadedTSRev);
        fx.Field(20, "Hardware Class", m_HardwareClass);
        fx.Field(21, "Firmware Version", m_FirmwareVersion);
        fx.Field(22, "Device Link", m_DeviceLink);
        fx.Field(23, "Device Link State", m_DeviceLinkState);
        fx.Field(24, "Device Audit Enable", m_DeviceAuditEnable);
        fx.Field(25, "TS Link", m_TSLink);
        fx.Field(26, "Drive Usage Counter", m_DriveUsageCounter);
        fx.Field(27, "Card Swipe Counter", m_CardSwipeCounter);
        fx.Field(28, "Enrolled User Counter", m_EnrolledUserCounter);
        fx.Field(29, "Data Downloaded Flag", m_DataDownloadedFlag);
        fx.Field(30, "Pending Action Counter", m_PendingActionCounter);
        fx.Field(31, "Rebuild User List", m_RebuildUserList);
        fx.Field(32, "Audit Get All", m_AuditGetAll);
        fx.Field(33, "PgmIDCount", m_PgmIDCount);
        fx.Field(34, "Record State", m_RecordState);
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
        fx.Field(0, "ScheduleKey", m_ScheduleKey);
        fx.Field(1, "Name", m_Name);
        fx.Field(2, "RevisionCounter", m_RevisionCounter);
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
        fx.Field(0, "SchedLink", m_SchedLink);
        fx.Field(1, "Schedule", m_Schedule);
        fx.Field(2, "Event", m_Event);
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
        fx.Field(0, "Group Key", m_GroupKey);
        fx.Field(1, "Group Name", m_GroupName);
        fx.Field(2, "Reference", m_Reference);
        fx.Field(3, "Autocode Enabled", m_AutocodeEnabled);
        fx.Field(4, "PINDate", m_PINDate);
        fx.Field(5, "RecodeDate", m_RecodeDate);
        fx.Field(6, "Autocode Interval Type", m_AutocodeIntervalType);
        fx.Field(7, "Autocode Interval", m_AutocodeInterval);
        fx.Field(8, "Record State", m_RecordState);
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
        fx.Field(0, "User Key", m_UserKey);
        fx.Field(1, "Last Name", m_LastName);
        fx.Field(2, "First Name", m_FirstName);
        fx.Field(3, "Middle Initial", m_MiddleInitial);
        fx.Field(4, "Reference", m_Reference);
        fx.Field(5, "Contact1", m_Contact1);
        fx.Field(6, "Contact2", m_Contact2);
        fx.Field(7, "User Type", m_UserType);
        fx.Field(8, "Rights", m_Rights);
        fx.Field(9, "Lock ID code", m_LockIDcode);
        fx.Field(10, "Card Media", m_CardMedia);
        fx.Field(11, "CardIssueNumber", m_CardIssueNumber);
        fx.Field(12, "CardExpireDate", m_CardExpireDate);
        fx.Field(13, "Home Group", m_HomeGroup);
        fx.Field(14, "Group Mask", m_GroupMask);
        fx.Field(15, "CurPIN", m_CurPIN);
        fx.Field(16, "NextPIN", m_NextPIN);
        fx.Field(17, "Revision Counter", m_RevisionCounter);
        fx.Field(18, "Pending Action Counter", m_PendingActionCounter);
        fx.Field(19, "Enrolled Lock Counter", m_EnrolledLockCounter);
        fx.Field(20, "Record State", m_RecordState);
        fx.Field(21, "CardMediaType", m_CardMediaType);
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
        fx.Field(0, "Lock Index", m_LockIndex);
        fx.Field(1, "Lock User Index", m_LockUserIndex);
        fx.Field(2, "User Index", m_UserIndex);
        fx.Field(3, "Use Type Defaults", m_UseTypeDefaults);
        fx.Field(4, "User Type", m_UserType);
        fx.Field(5, "Download User Rev Number", m_DownloadUserRevNumber);
        fx.Field(6, "Record State", m_RecordState);
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
        fx.Field(0, "PlatformRcd", m_PlatformRcd);
        fx.Field(1, "PgmData", m_PgmData);
    }
};

}  // namespace tandrel
