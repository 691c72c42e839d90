#pragma once

#include "desktop/data/bound_recordset.h"

namespace tandrel {

// One recordset class per stored query that the program opens; one typed
// member per column of the query. Set the parameters, then Requery().

// Select * From [AuditDataToUserQuery]
class CAuditDataToUserQueryset : public CQueryRecordset {
  public:
    explicit CAuditDataToUserQueryset(dao::Database& db) {
        Open(db, QStringLiteral("AuditDataToUserQuery"));
    }

    std::int32_t m_LockKey = 0;
    std::int32_t m_UserKey = 0;
    QDateTime m_TimeStamp;
    std::uint8_t m_Event = 0;
    std::uint8_t m_AccessLevel = 0;
    std::uint8_t m_UserGroups = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_LockKey);
        fx.Field(1, m_UserKey);
        fx.Field(2, m_TimeStamp);
        fx.Field(3, m_Event);
        fx.Field(4, m_AccessLevel);
        fx.Field(5, m_UserGroups);
    }
};

// Select * From [AuditLogRecordQuery]
class CAuditLogRecordQS : public CQueryRecordset {
  public:
    explicit CAuditLogRecordQS(dao::Database& db) {
        Open(db, QStringLiteral("AuditLogRecordQuery"));
    }

    std::int32_t m_LockKey = 0;
    std::int32_t m_UserKey = 0;
    QDateTime m_TimeStamp;
    std::uint8_t m_Event = 0;
    std::uint8_t m_AccessLevel = 0;
    std::uint8_t m_UserGroups = 0;

  protected:
    void DoFieldExchange(FieldExchange& fx) override {
        fx.Field(0, m_LockKey);
        fx.Field(1, m_UserKey);
        fx.Field(2, m_TimeStamp);
        fx.Field(3, m_Event);
        fx.Field(4, m_AccessLevel);
        fx.Field(5, m_UserGroups);
    }
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
        fx.Field(0, m_LockKey);
        fx.Field(1, m_Name);
        fx.Field(2, m_PathIndex);
        fx.Field(3, m_FullPath);
        fx.Field(4, m_DeviceLink);
        fx.Field(5, m_DeviceLinkState);
        fx.Field(6, m_RecordState);
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
        fx.Field(0, m_DeviceLink);
        fx.Field(1, m_LockKey);
        fx.Field(2, m_DeviceLinkState);
        fx.Field(3, m_PathIndex);
        fx.Field(4, m_Name);
        fx.Field(5, m_LastProgramDate);
        fx.Field(6, m_SupplyVolts);
        fx.Field(7, m_HardwareClass);
        fx.Field(8, m_FirmwareVersion);
        fx.Field(9, m_DriveUsageCounter);
        fx.Field(10, m_CardSwipeCounter);
        fx.Field(11, m_PendingActionCounter);
        fx.Field(12, m_DataDownloadedFlag);
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
        fx.Field(0, m_LockKey);
        fx.Field(1, m_PathIndex);
        fx.Field(2, m_Name);
        fx.Field(3, m_ScheduleCapacity);
        fx.Field(4, m_HolidayListCapacity);
        fx.Field(5, m_DownloadedTSRev);
        fx.Field(6, m_TSLink);
        fx.Field(7, m_DataDownloadedFlag);
        fx.Field(8, m_PendingActionCounter);
        fx.Field(9, m_RecordState);
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
        fx.Field(0, m_LockIndex);
        fx.Field(1, m_UserIndex);
        fx.Field(2, m_LockUserIndex);
        fx.Field(3, m_UseTypeDefaults);
        fx.Field(4, m_UserType);
        fx.Field(5, m_DownloadUserRevNumber);
        fx.Field(6, m_RecordState);
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
        fx.Field(0, m_Schedule);
        fx.Field(1, m_Event);
        fx.Field(2, m_SchedLink);
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
        fx.Field(0, m_LockUserIndex);
        fx.Field(1, m_LockIndex);
        fx.Field(2, m_UserIndex);
        fx.Field(3, m_UseTypeDefaults);
        fx.Field(4, m_UserType);
        fx.Field(5, m_DownloadUserRevNumber);
        fx.Field(6, m_RecordState);
    }
};

}  // namespace tandrel
