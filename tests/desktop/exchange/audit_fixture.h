#pragma once

#include <QVariant>

#include <ostream>

#include "desktop/exchange/audit_collection.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/dao/value.h"
#include "protocol/packed_date.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"
#include "tests/desktop/exchange/fake_devices.h"

namespace tandrel::testing {

// Keeps what a progress window would have shown.
struct ProgressSeen : Progress {
    void SetText(const QString& text) override { texts.push_back(text); }
    void SetRange(int maximum) override { range = maximum; }
    void SetPosition(int position) override { this->position = position; }
    QStringList texts;
    int range = 0, position = 0;
};

// One Audit Data row; time in storage seconds, null when unknown.
struct AuditRow {
    qint64 lock, key, user, event;
    QVariant time;
    qint64 level, groups;
    bool operator==(const AuditRow&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const AuditRow& r) {
    return os << "{lock " << r.lock << ", key " << r.key << ", user " << r.user << ", event "
              << r.event << ", time " << r.time.toString().toStdString() << ", level " << r.level
              << ", groups " << r.groups << "}";
}

inline protocol::AuditEvent Event(std::uint8_t type, int slot, const QDateTime& when,
                                  std::uint8_t level = 0, std::uint8_t groups = 0) {
    protocol::AuditEvent e;
    e.type = type;
    e.dateWord = protocol::PackDate(when.date().year(), when.date().month(), when.date().day());
    e.hour = when.time().hour();
    e.minute = when.time().minute();
    e.lockUserIndex = slot;
    e.accessLevel = level;
    e.userGroups = groups;
    return e;
}

inline protocol::AuditStatus Status(std::uint16_t millivolts, const QDateTime& when) {
    protocol::AuditStatus s{millivolts, 7, 0x0203, 1000, 2000};
    s.year = static_cast<std::uint8_t>(when.date().year() % 100);
    s.month = static_cast<std::uint8_t>(when.date().month());
    s.day = static_cast<std::uint8_t>(when.date().day());
    s.hour = static_cast<std::uint8_t>(when.time().hour());
    s.minute = static_cast<std::uint8_t>(when.time().minute());
    return s;
}

inline QDateTime At(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

// A facility and a handheld store with the exchange's databases open.
class AuditTest : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        std::uint32_t error = 0;
        store = ce::ObjectStore::Open(dir.Path("handheld.store"), error, true);
        ASSERT_EQ(error, 0u);
        device.SetInner(*store);
        ASSERT_EQ(transport.OpenDatabases(dbs), 0u);
    }

    dao::Database& db() { return doc.Db(); }

    // An audit record on the handheld, counted as the exchange counts them.
    void AddBlock(int lockAddress, const protocol::Bytes& block) {
        CHandheldRecord record(RecordKind::Audit, transport, dbs.laf.handle);
        record.SetUI2(0, static_cast<std::uint16_t>(lockAddress));
        record.SetBlob(1, block.data(), static_cast<int>(block.size()));
        ASSERT_TRUE(record.Write(true));
        ++dbs.laf.recordCount;
    }
    void AddBlock(int lockAddress, std::uint32_t firstKey,
                  const std::vector<protocol::AuditItem>& items) {
        AddBlock(lockAddress, protocol::EncodeAuditBlock(firstKey, items));
    }
    int BlocksLeft() {
        ce::ObjectInfo info;
        store->OidGetInfo(dbs.laf.oid, info);
        return static_cast<int>(info.database.recordCount);
    }
    int Collect() {
        AuditCollector collector(db(), transport, dbs, prompts);
        return collector.Collect(progress);
    }

    std::vector<AuditRow> Rows() {
        dao::sqlite::Statement s(
            db().Connection().Handle(),
            "SELECT LockKey, AuditKey, UserKey, Event, TimeStamp, AccessLevel, "
            "UserGroups FROM \"Audit Data\" ORDER BY LockKey, AuditKey DESC");
        std::vector<AuditRow> rows;
        while (s.Step())
            rows.push_back(
                {s.Int(0), s.Int(1), s.Int(2), s.Int(3), s.Value(4), s.Int(5), s.Int(6)});
        return rows;
    }

    qint64 LockValue(int lock, const QString& column) {
        return IntOf(db(), QStringLiteral("SELECT \"%1\" FROM Locks WHERE \"Lock Key\" = %2")
                               .arg(column)
                               .arg(lock));
    }
    void SetLastProgramDate(int lock, const QDateTime& when) {
        Sql(db(), QStringLiteral("UPDATE Locks SET \"Last Program Date\" = %1 WHERE \"Lock Key\" "
                                 "= %2")
                      .arg(dao::DateTimeToStorage(when))
                      .arg(lock));
    }

    std::unique_ptr<ce::ObjectStore> store;
    RecordingDevice device;
    HandheldTransport transport{device};
    ExchangeDatabases dbs;
    IconPrompter prompts;
    ProgressSeen progress;
};

inline QVariant Stored(const QDateTime& when) {
    return QVariant(static_cast<qlonglong>(dao::DateTimeToStorage(when)));
}

}  // namespace tandrel::testing
