// The handheld record on a network device: the record variant, its shape
// checks, and which calls each operation makes.
#include "desktop/exchange/record_variant.h"
#include "desktop/exchange/network_transport.h"
#include "tests/desktop/exchange/fake_devices.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace tandrel::testing {
namespace {

using com::Variant;

class NetworkRecordTest : public ::testing::Test {
  protected:
    CHandheldRecord Programming(std::uint32_t key, std::uint16_t command) {
        CHandheldRecord pgm(RecordKind::Programming, network);
        pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, key);
        pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, command);
        pgm.SetBlob(PGM_DATA_OFFSET_DATA, QByteArray("\x01\x02", 2));
        return pgm;
    }
    // A programming record variant whose elements are `elements`.
    static Variant Pgm(std::vector<Variant> elements, int lowerBound = 0) {
        return Variant::Array(std::move(elements), lowerBound);
    }
    FakeLink link;
    NetworkTransport network{link};
};

TEST_F(NetworkRecordTest, RecordsTravelAsVariantArrays) {
    CHandheldRecord pgm = Programming(0x00070001, 0x8031);
    const Variant v = RecordToVariant(pgm);
    EXPECT_EQ(v.Vt(), 0x200C);
    EXPECT_EQ(v, Pgm({Variant::I4(0x00070001), Variant::I2(static_cast<std::int16_t>(0x8031)),
                      Variant::Bytes(QByteArray("\x01\x02", 2))}));
    CHandheldRecord back(RecordKind::Programming, network);
    ASSERT_TRUE(RecordFromVariant(v, back));
    EXPECT_EQ(back.GetUI2(PGM_DATA_OFFSET_COMMAND), 0x8031);
    EXPECT_EQ(back.GetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS), 0x00070001u);

    CHandheldRecord los(RecordKind::OsData, network);
    EXPECT_EQ(los.PropertyCount(), 3);
    los.SetUI4(LOS_DATA_OFFSET_BLOCK_NUMBER, 4);
    EXPECT_EQ(RecordToVariant(los).AsArray()->elements.at(2), Variant::I4(4));
    CHandheldRecord reg(RecordKind::DeviceRegistry, network);
    reg.SetString(REG_DATA_OFFSET_VERSION, "1.08");
    EXPECT_EQ(RecordToVariant(reg).AsArray()->elements.at(1), Variant::Text("1.08"));
}

TEST_F(NetworkRecordTest, RecordsOfAnyOtherShapeAreRefusedAndChangeNothing) {
    const Variant good = RecordToVariant(Programming(1, 2));
    std::vector<Variant> elements = good.AsArray()->elements;
    auto with = [&](std::size_t i, Variant e) {
        auto copy = elements;
        copy[i] = std::move(e);
        return Pgm(copy);
    };
    auto extended = elements;
    extended.push_back(Variant());
    const Variant bad[] = {
        Pgm(extended),
        Pgm({elements[0], elements[1]}),
        Pgm(elements, 1),
        with(0, Variant::I2(1)),
        with(1, Variant::I4(1)),
        with(2, Variant::Text("0102")),
        with(2, Variant::Bytes("x", 1)),
        with(1, Variant::Bool(true)),
        Variant::Bytes("abc"),
        Variant::I4(3),
        Variant(),
    };
    for (const Variant& v : bad) {
        CHandheldRecord pgm = Programming(0x00050000, 0x20);
        link.nextReply = v;
        EXPECT_FALSE(pgm.Read());
        EXPECT_EQ(pgm.LastError(), ce::ERROR_INVALID_DATA);
        EXPECT_EQ(pgm.GetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS), 0x00050000u);
        EXPECT_EQ(pgm.GetUI2(PGM_DATA_OFFSET_COMMAND), 0x20);
        EXPECT_EQ(pgm.GetBlob(PGM_DATA_OFFSET_DATA), QByteArray("\x01\x02", 2));
    }
    // Empty elements are zero, empty text, no bytes.
    CHandheldRecord lmf(RecordKind::EnrolledLock, network);
    lmf.SetString(LMF_DATA_OFFSET_NAME, "Door");
    lmf.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, 3);
    std::vector<Variant> empties(10);
    empties[8] = Variant::I4(-1);
    ASSERT_TRUE(RecordFromVariant(Variant::Array(empties), lmf));
    EXPECT_EQ(lmf.GetString(LMF_DATA_OFFSET_NAME), "");
    EXPECT_EQ(lmf.GetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS), 0);
    EXPECT_EQ(lmf.GetUI4(LMF_DATA_OFFSET_DRIVE_COUNT), 0xFFFFFFFFu);
}

TEST_F(NetworkRecordTest, OperationsBecomeTheLinksCalls) {
    CHandheldRecord pgm = Programming(0x00070000, 0x20);
    ASSERT_TRUE(pgm.Write(true));
    ASSERT_TRUE(Programming(0x00070001, 0x21).Write(true));
    ASSERT_TRUE(Programming(0x00090000, 0x30).Write(true));
    pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, 0x00070001);
    ASSERT_TRUE(pgm.Seek(1, PGM_DATA_OFFSET_LOCK_ADDRESS));
    EXPECT_EQ(link.calls.back(), "Find 0 458753 1 0");
    ASSERT_TRUE(pgm.Read());
    pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, 0x8021);
    ASSERT_TRUE(pgm.Write(false));
    ASSERT_TRUE(pgm.Read());
    ASSERT_TRUE(pgm.Delete());
    EXPECT_FALSE(pgm.Read());
    EXPECT_EQ(pgm.LastError(), ce::ERROR_NO_MORE_ITEMS);
    ASSERT_EQ(link.Records(0).size(), 2u);
    EXPECT_EQ(link.Records(0)[1].AsArray()->elements[1],
              Variant::I2(static_cast<std::int16_t>(0x8021)));
    pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, 0x00080000);
    EXPECT_FALSE(pgm.Seek(2, PGM_DATA_OFFSET_LOCK_ADDRESS));

    // The registry and OS kinds are always updated, never added.
    link.calls.clear();
    CHandheldRecord reg(RecordKind::DeviceRegistry, network);
    CHandheldRecord los(RecordKind::OsData, network);
    ASSERT_TRUE(reg.Write(true));
    ASSERT_TRUE(los.Write(true));
    ASSERT_TRUE(reg.DeleteAll());
    EXPECT_EQ(link.calls, (std::vector<std::string>{"Update 4", "Update 5", "RemoveAll 4"}));
    link.refuse = true;
    EXPECT_FALSE(pgm.Write(true));
    EXPECT_EQ(pgm.LastError(), NetworkTransport::kErrorRefused);
    EXPECT_FALSE(pgm.Seek(0));
    EXPECT_FALSE(pgm.Delete());
}

}  // namespace
}  // namespace tandrel::testing
