#include <gtest/gtest.h>

#include <QFile>

#include <sstream>

#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/object_store.h"
#include "protocol/audit_block.h"
#include "protocol/packed_date.h"
#include "tests/support/temp_dir.h"
#include "tools/ferrow_standin/standin.h"

namespace ferrow_standin {
namespace {

using tandrel::CHandheldRecord;
using tandrel::RecordKind;

struct Result {
    int exitCode;
    std::string out, err;
};

// A handheld store holding what the desktop queued: the programming of
// locks 3 and 4 and the enrolled-lock entry of lock 3.
class Standin : public ::testing::Test {
  protected:
    void SetUp() override {
        Open();
        for (std::uint32_t key : {3u << 16, 3u << 16 | 1, 3u << 16 | 2, 4u << 16}) {
            CHandheldRecord pgm = Record(RecordKind::Programming);
            pgm.SetUI4(0, key);
            pgm.SetUI2(1, 0x31);
            pgm.SetBlob(2, "\x01\x02", 2);
            ASSERT_TRUE(pgm.Write(true));
        }
        CHandheldRecord lmf = Record(RecordKind::EnrolledLock);
        lmf.SetUI2(tandrel::LMF_DATA_OFFSET_LOCK_ADDRESS, 3);
        lmf.SetUI2(tandrel::LMF_DATA_OFFSET_PARENT, 1);
        lmf.SetString(tandrel::LMF_DATA_OFFSET_NAME, QStringLiteral("Front"));
        lmf.SetUI2(tandrel::LMF_DATA_OFFSET_BATTERY_LEVEL, 6000);
        lmf.SetUI2(tandrel::LMF_DATA_OFFSET_HARDWARE_CLASS, 2);
        lmf.SetUI4(tandrel::LMF_DATA_OFFSET_CARD_COUNT, 12);
        ASSERT_TRUE(lmf.Write(true));
        Close();
    }

    void Open() {
        std::uint32_t error = 0;
        store = ce::ObjectStore::Open(path, error, true);
        ASSERT_EQ(error, 0u);
        transport = std::make_unique<tandrel::HandheldTransport>(*store);
        ASSERT_EQ(transport->OpenDatabases(dbs), 0u);
    }
    void Close() {
        transport->CloseDatabases(dbs);
        transport.reset();
        store.reset();
    }
    CHandheldRecord Record(RecordKind kind) {
        return CHandheldRecord(kind, *transport, dbs.HandleFor(kind));
    }
    // Every record of a kind, in the database's order.
    std::vector<ce::Record> All(RecordKind kind) {
        std::vector<ce::Record> out;
        CHandheldRecord r = Record(kind);
        if (!r.Seek(0)) return out;
        while (r.Read()) out.push_back(r.Properties());
        return out;
    }

    Result Run(const std::string& script) {
        std::istringstream in(script);
        std::ostringstream out, err;
        const int code = ferrow_standin::Run({path.toStdString(), "-"}, in, out, err);
        return {code, out.str(), err.str()};
    }
    QByteArray StoreBytes() {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    TempDir dir;
    QString path = dir.Path("handheld.store");
    std::unique_ptr<ce::ObjectStore> store;
    std::unique_ptr<tandrel::HandheldTransport> transport;
    tandrel::ExchangeDatabases dbs;
};

TEST_F(Standin, AVisitDeliversTheLocksProgrammingAndRecordsTheExchange) {
    const Result r = Run("visit 3 2026-12-01 10:05 deliver=2 volts=4000 fw=0x0105 drive=77\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "visit 3: 2 programming records delivered, exchange recorded\n");
    Open();
    std::vector<std::uint32_t> commands;
    for (const ce::Record& rec : All(RecordKind::Programming)) commands.push_back(rec[1].number);
    EXPECT_EQ(commands, (std::vector<std::uint32_t>{0x8031, 0x8031, 0x31, 0x31}));

    const ce::Record lmf = All(RecordKind::EnrolledLock).at(0);
    EXPECT_EQ(lmf.size(), 10u);
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_EXCHANGE_DATE].number, protocol::PackDate(2026, 12, 1));
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_EXCHANGE_TIME].number,
              protocol::PackTimeWord(10, 5, tandrel::LMF_STATUS_CODE_PROGRAMMED));
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_BATTERY_LEVEL].number, 4000u);
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_VERSION].number, 0x0105u);
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_DRIVE_COUNT].number, 77u);
    // What the script leaves out stays as it was.
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_HARDWARE_CLASS].number, 2u);
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_CARD_COUNT].number, 12u);
    EXPECT_EQ(lmf[tandrel::LMF_DATA_OFFSET_NAME].text, QStringLiteral("Front"));
    Close();

    // The next visit takes the rest, and no other lock's.
    ASSERT_EQ(Run("visit 3\n").out,
              "visit 3: 1 programming records delivered, exchange recorded\n");
}

TEST_F(Standin, ALockWithoutAnEntryGetsAGuestRecord) {
    const Result r =
        Run("visit 4 2026-12-01 10:05 volts=3900 hw=2 fw=0x0103 drive=5 cards=6\n"
            "guest 9 2026-12-02 11:00\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Open();
    const auto audit = All(RecordKind::Audit);
    ASSERT_EQ(audit.size(), 2u);
    EXPECT_EQ(audit[0][0].number, 4u);
    const QByteArray guest = audit[0][1].blob;
    EXPECT_EQ(
        guest.toHex(' '),
        QByteArray("00 00 00 00 ff 0f 3c 00 02 01 03 00 00 00 05 00 00 00 06 1a 0c 01 0a 05"));
    EXPECT_EQ(audit[1][0].number, 9u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(audit[1][1].blob.constData());
    const auto decoded = protocol::DecodeAuditBlock({bytes, 24});
    ASSERT_EQ(decoded.items.size(), 1u);
    EXPECT_EQ(std::get<protocol::AuditStatus>(decoded.items[0]).supplyMillivolts, 6000);
    // A guest gets no programming.
    EXPECT_EQ(All(RecordKind::Programming).back()[1].number, 0x31u);
}

TEST_F(Standin, AuditBlocksAreWrittenAsScripted) {
    const Result r =
        Run("audit 3 0x100  # two events and the lock's status\n"
            "  event entry 2026-11-30 08:15 5\n"
            "  event setlevel 2026-11-30 08:16 none 2 0x0f\n"
            "  status 2026-12-01 10:00 volts=4100\n"
            "  raw 00\n"
            "end\n"
            "block 0 0102\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Open();
    const auto audit = All(RecordKind::Audit);
    ASSERT_EQ(audit.size(), 2u);
    const QByteArray& block = audit[0][1].blob;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.constData());
    const auto decoded =
        protocol::DecodeAuditBlock({bytes, static_cast<std::size_t>(block.size())});
    EXPECT_EQ(block.size(), 4 + 6 + 8 + 20 + 1);
    ASSERT_EQ(decoded.items.size(), 3u);
    const auto& level = std::get<protocol::AuditEvent>(decoded.items[1]);
    EXPECT_EQ(level.auditKey, 0xFFu);
    EXPECT_EQ(level.lockUserIndex, protocol::kAuditNoUserSlot);
    EXPECT_EQ(level.accessLevel, 2);
    EXPECT_EQ(level.userGroups, 0x0F);
    EXPECT_EQ(audit[1][0].number, 0u);
    EXPECT_EQ(audit[1][1].blob, QByteArray("\x01\x02", 2));
}

TEST_F(Standin, ABadScriptNamesItsLineAndLeavesTheStoreAlone) {
    const QByteArray before = StoreBytes();
    const std::pair<std::string, std::string> cases[] = {
        {"visit 3\nvisit 70000\n", "line 2: the lock address must be a number from 1 to 65535"},
        {"visit 3 volts=5\naudit 3 1\n event setlevel 2026-01-01 10:00 5 1\nend\n",
         "line 3: event type 5 takes 2 value(s) after the slot"},
        {"audit 3 1\n event entry 2026-02-29 10:00 5\nend\n", "line 2: no such date and time"},
        {"audit 3 1\n event entry 2026-02-28 10:00 2048\nend\n", "line 2: the slot must be"},
        {"audit 3 1\n event entry 2026-02-28\n", "line 2: event needs"},
        {"\n\naudit 3 1\n", "line 3: audit block has no end"},
        {"end\n", "line 1: unknown step 'end'"},
        {"guest 3 cards=x\n", "line 1: cards must be a number"},
        {"block 1 0g\n", "line 1: a hex byte"},
        {"visit 3 2026-01-01\n", "line 1: the date 2026-01-01 needs a time"},
    };
    for (const auto& [script, said] : cases) {
        const Result r = Run(script);
        EXPECT_EQ(r.exitCode, 2) << script;
        EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(StoreBytes(), before);
}

TEST_F(Standin, UsageAndAMissingStore) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(ferrow_standin::Run({"--help"}, in, out, err), 0);
    EXPECT_NE(out.str().find("visit LOCK"), std::string::npos);
    EXPECT_EQ(ferrow_standin::Run({path.toStdString()}, in, out, err), 2);
    EXPECT_EQ(ferrow_standin::Run({dir.Path("none.store").toStdString(), "-"}, in, out, err), 1);
    EXPECT_NE(err.str().find("no handheld store at"), std::string::npos);
    EXPECT_FALSE(QFile::exists(dir.Path("none.store")));
    EXPECT_EQ(
        ferrow_standin::Run({path.toStdString(), dir.Path("none.txt").toStdString()}, in, out, err),
        2);
}

}  // namespace
}  // namespace ferrow_standin
