#pragma once

#include "desktop/data/bound_recordset.h"

namespace tandrel {

// One recordset class per stored query that the program opens; one typed
// member per column of the query. Set the parameters, then Requery().

// The columns both audit queries select, member for member.
class CAuditQueryset : public CQueryRecordset {
  public:
    std::int32_t m_LockKey = 0;
    std::int32_t m_UserKey = 0;
    QDateTime m_TimeStamp;
    std::uint8_t m_Event = 0;
    std::uint8_t m_AccessLevel = 0;
    std::uint8_t m_UserGroups = 0;

  protected:
    CAuditQueryset(dao::Database& db, const QString& query) { Open(db, query); }

    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "LockKey", m_LockKey);
        fx.Field(1, "UserKey", m_UserKey);
        fx.Field(2, "TimeStamp", m_TimeStamp);
        fx.Field(3, "Event", m_Event);
        fx.Field(4, "AccessLevel", m_AccessLevel);
        fx.Field(5, "UserGroups", m_UserGroups);
    }
};

// Select * From [AuditDataToUserQuery]
class CAuditDataToUserQueryset : public CAuditQueryset {
  public:
    explicit CAuditDataToUserQueryset(dao::Database& db)
        : CAuditQueryset(db, QStringLiteral("AuditDataToUserQuery")) {}
};

// Select * From [AuditLogRecordQuery]
class CAuditLogRecordQS : public CAuditQueryset {
  public:
    explicit CAuditLogRecordQS(dao::Database& db)
        : CAuditQueryset(db, QStringLiteral("AuditLogRecordQuery")) {}
};

// Select * From [HolidayListQuery]
class CHolidayListQuerySet : public CQueryRecordset {
  public:
    explicit CHolidayListQuerySet(dao::Database& db) {
        Open(db, QStringLiteral("HolidayListQuery"));
    }

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

// Select * From [LocksInPathQuery]
class CLocksInPathQuerySet : public CQueryRecordset {
  public:
    explicit CLocksInPathQuerySet(dao::Database& db) {
        Open(db, QStringLiteral("LocksInPathQuery"));
    }

    std::int32_t m_LockKey = 0;
    QString m_Name;
    std::int32_t m_PathIndex = 0;
    QString m_FullPath;
    std::int32_t m_DeviceLink = 0;
    std::uint8_t m_DeviceLinkState = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "Lock Key", m_LockKey);
        fx.Field(1, "Name", m_Name);
        fx.Field(2, "Path Index", m_PathIndex);
        fx.Field(3, "FullPath", m_FullPath);
        fx.Field(4, "Device Link", m_DeviceLink);
        fx.Field(5, "Device Link State", m_DeviceLinkState);
        fx.Field(6, "Record State", m_RecordState);
    }
};

// Select * From [LocksToDeviceQuery]
class CLocksToDeviceQuerySet : public CQueryRecordset {
  public:
    explicit CLocksToDeviceQuerySet(dao::Database& db) {
        Open(db, QStringLiteral("LocksToDeviceQuery"));
    }

    std::int32_t m_DeviceLink = 0;
    std::int32_t m_LockKey = 0;
    std::uint8_t m_DeviceLinkState = 0;
    std::int32_t m_PathIndex = 0;
    QString m_Name;
    QDateTime m_LastProgramDate;
    std::int16_t m_SupplyVolts = 0;
    std::int16_t m_HardwareClass = 0;
    std::int16_t m_FirmwareVersion = 0;
    std::int32_t m_DriveUsageCounter = 0;
    std::int32_t m_CardSwipeCounter = 0;
    std::int32_t m_PendingActionCounter = 0;
    std::uint8_t m_DataDownloadedFlag = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "Device Link", m_DeviceLink);
        fx.Field(1, "Lock Key", m_LockKey);
        fx.Field(2, "Device Link State", m_DeviceLinkState);
        fx.Field(3, "Path Index", m_PathIndex);
        fx.Field(4, "Name", m_Name);
        fx.Field(5, "Last Program Date", m_LastProgramDate);
        fx.Field(6, "Supply Volts", m_SupplyVolts);
        fx.Field(7, "Hardware Class", m_HardwareClass);
        fx.Field(8, "Firmware Version", m_FirmwareVersion);
        fx.Field(9, "Drive Usage Counter", m_DriveUsageCounter);
        fx.Field(10, "Card Swipe Counter", m_CardSwipeCounter);
        fx.Field(11, "Pending Action Counter", m_PendingActionCounter);
        fx.Field(12, "Data Downloaded Flag", m_DataDownloadedFlag);
    }
};

// Select * From [LocksToTSQuery]
class CLocksToTSQuerySet : public CQueryRecordset {
  public:
    explicit CLocksToTSQuerySet(dao::Database& db) { Open(db, QStringLiteral("LocksToTSQuery")); }

    std::int32_t m_LockKey = 0;
    std::int32_t m_PathIndex = 0;
    QString m_Name;
    std::int16_t m_ScheduleCapacity = 0;
    std::int16_t m_HolidayListCapacity = 0;
    std::int16_t m_DownloadedTSRev = 0;
    std::int32_t m_TSLink = 0;
    std::uint8_t m_DataDownloadedFlag = 0;
    std::int32_t m_PendingActionCounter = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "Lock Key", m_LockKey);
        fx.Field(1, "Path Index", m_PathIndex);
        fx.Field(2, "Name", m_Name);
        fx.Field(3, "Schedule Capacity", m_ScheduleCapacity);
        fx.Field(4, "Holiday List Capacity", m_HolidayListCapacity);
        fx.Field(5, "Downloaded TS Rev", m_DownloadedTSRev);
        fx.Field(6, "TS Link", m_TSLink);
        fx.Field(7, "Data Downloaded Flag", m_DataDownloadedFlag);
        fx.Field(8, "Pending Action Counter", m_PendingActionCounter);
        fx.Field(9, "Record State", m_RecordState);
    }
};

// Select * From [LocksToUserQuery]
class CLocksToUserQuerySet : public CQueryRecordset {
  public:
    explicit CLocksToUserQuerySet(dao::Database& db) {
        Open(db, QStringLiteral("LocksToUserQuery"));
    }

    std::int32_t m_LockIndex = 0;
    std::int32_t m_UserIndex = 0;
    std::int16_t m_LockUserIndex = 0;
    bool m_UseTypeDefaults = false;
    std::uint8_t m_UserType = 0;
    std::int16_t m_DownloadUserRevNumber = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "Lock Index", m_LockIndex);
        fx.Field(1, "User Index", m_UserIndex);
        fx.Field(2, "Lock User Index", m_LockUserIndex);
        fx.Field(3, "Use Type Defaults", m_UseTypeDefaults);
        fx.Field(4, "User Type", m_UserType);
        fx.Field(5, "Download User Rev Number", m_DownloadUserRevNumber);
        fx.Field(6, "Record State", m_RecordState);
    }
};

// Select * From [ScheduleEventsQuery]
class CScheduleEventsQuerySet : public CQueryRecordset {
  public:
    explicit CScheduleEventsQuerySet(dao::Database& db) {
        Open(db, QStringLiteral("ScheduleEventsQuery"));
    }

    std::uint8_t m_Schedule = 0;
    std::int32_t m_Event = 0;
    std::int32_t m_SchedLink = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "Schedule", m_Schedule);
        fx.Field(1, "Event", m_Event);
        fx.Field(2, "SchedLink", m_SchedLink);
    }
};

// Select * From [UsersToLockQuery]
class CUsersToLockQuerySet : public CQueryRecordset {
  public:
    explicit CUsersToLockQuerySet(dao::Database& db) {
        Open(db, QStringLiteral("UsersToLockQuery"));
    }

    std::int16_t m_LockUserIndex = 0;
    std::int32_t m_LockIndex = 0;
    std::int32_t m_UserIndex = 0;
    bool m_UseTypeDefaults = false;
    std::uint8_t m_UserType = 0;
    std::int16_t m_DownloadUserRevNumber = 0;
    std::uint8_t m_RecordState = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, "Lock User Index", m_LockUserIndex);
        fx.Field(1, "Lock Index", m_LockIndex);
        fx.Field(2, "User Index", m_UserIndex);
        fx.Field(3, "Use Type Defaults", m_UseTypeDefaults);
        fx.Field(4, "User Type", m_UserType);
        fx.Field(5, "Download User Rev Number", m_DownloadUserRevNumber);
        fx.Field(6, "Record State", m_RecordState);
    }
};

}  // namespace tandrel
