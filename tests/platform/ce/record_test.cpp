// Records of the object store: sort order, seeks, the read position, writes
// and deletes.
#include "platform/ce/record_codec.h"
#include "tests/platform/ce/store_fixture.h"

namespace ce::testing {
namespace {

// Key (property 1) and tag (property 2) of a two-key record.
Record Keyed(std::uint16_t key, std::uint16_t tag) {
    return {PropVal::UI2(1, key), PropVal::UI2(2, tag)};
}

class RecordTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        handle = Create("TDXLMF", {{kKey1, 0}, {kKey2, 0}}, &oid);
    }
    std::uint32_t Seek(std::uint32_t type, const PropVal& value, Oid& found) {
        return store->SeekDatabase(handle, type, 0, &value, found);
    }
    Handle handle = 0;
    Oid oid = 0;
};

TEST_F(RecordTest, ReadsBackInSortOrderWithTiesInInsertionOrder) {
    Write(handle, Keyed(5, 1));
    Write(handle, Keyed(3, 2));
    Write(handle, {PropVal::UI2(2, 3)});  // no key: after all keyed records
    Write(handle, Keyed(5, 4));
    Write(handle, Keyed(1, 5));
    Write(handle, Keyed(3, 6));
    EXPECT_EQ(ReadTags(handle), (std::vector<std::uint32_t>{5, 2, 6, 1, 4, 3}));
    // The end of the records is ERROR_NO_MORE_ITEMS, and stays so.
    Record props;
    Oid read = 0;
    EXPECT_EQ(store->ReadRecordProps(handle, props, read), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(store->ReadRecordProps(handle, props, read), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(props.empty());
    // A second handle reads the same records in its own sort order (the
    // tag is property 2).
    Handle byTag = 0;
    ASSERT_EQ(store->OpenDatabase(oid, {}, kKey2, CEDB_AUTOINCREMENT, byTag), 0u);
    EXPECT_EQ(ReadTags(byTag), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(RecordTest, ValueSeeksFindTheFirstMatchInSortOrder) {
    Write(handle, Keyed(10, 1));
    const Oid second = Write(handle, Keyed(20, 2));
    Write(handle, Keyed(20, 3));
    Write(handle, {PropVal::UI2(2, 4)});
    Oid found = 0;
    ASSERT_EQ(Seek(CEDB_SEEK_VALUEGREATER, PropVal::UI2(1, 20), found), 0u);
    EXPECT_EQ(found, second);
    EXPECT_EQ(ReadTags(handle), (std::vector<std::uint32_t>{2, 3, 4}));
    ASSERT_EQ(Seek(CEDB_SEEK_VALUEGREATER, PropVal::UI4(1, 11), found), 0u);
    EXPECT_EQ(found, second);
    ASSERT_EQ(Seek(CEDB_SEEK_VALUEFIRSTEQUAL, PropVal::UI2(1, 20), found), 0u);
    EXPECT_EQ(found, second);
    // Records lacking the key never match a value.
    EXPECT_EQ(Seek(CEDB_SEEK_VALUEGREATER, PropVal::UI2(1, 21), found), ERROR_NO_DATA);
    EXPECT_EQ(found, 0u);
    EXPECT_TRUE(ReadTags(handle).empty());
    EXPECT_EQ(Seek(CEDB_SEEK_VALUEFIRSTEQUAL, PropVal::UI2(1, 15), found), ERROR_NO_DATA);
    EXPECT_EQ(Seek(CEDB_SEEK_VALUEGREATER, PropVal::Text(1, "20"), found), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->SeekDatabase(handle, 0x10, 0, nullptr, found), ERROR_INVALID_PARAMETER);
}

TEST_F(RecordTest, BeginningAndObjectIdSeeksPlaceTheReadPosition) {
    Oid found = 0;
    EXPECT_EQ(store->SeekDatabase(handle, CEDB_SEEK_BEGINNING, 0, nullptr, found), ERROR_NO_DATA);
    const Oid a = Write(handle, Keyed(1, 1));
    const Oid b = Write(handle, Keyed(2, 2));
    ASSERT_EQ(store->SeekDatabase(handle, CEDB_SEEK_BEGINNING, 0, nullptr, found), 0u);
    EXPECT_EQ(found, a);
    ASSERT_EQ(store->SeekDatabase(handle, CEDB_SEEK_CEOID, b, nullptr, found), 0u);
    EXPECT_EQ(found, b);
    EXPECT_EQ(ReadTags(handle), std::vector<std::uint32_t>{2});
    EXPECT_EQ(store->SeekDatabase(handle, CEDB_SEEK_CEOID, b + 10, nullptr, found), ERROR_NO_DATA);
    // Without CEDB_AUTOINCREMENT a read leaves the position where it is.
    Handle still = 0;
    ASSERT_EQ(store->OpenDatabase(oid, {}, 0, 0, still), 0u);
    Record props;
    Oid read = 0;
    ASSERT_EQ(store->ReadRecordProps(still, props, read), 0u);
    ASSERT_EQ(store->ReadRecordProps(still, props, read), 0u);
    EXPECT_EQ(read, a);
}

TEST_F(RecordTest, DeletingAndRewritingKeepTheReadPositionSound) {
    const Oid a = Write(handle, Keyed(1, 1));
    const Oid b = Write(handle, Keyed(2, 2));
    Write(handle, Keyed(3, 3));
    Record props;
    Oid read = 0;
    ASSERT_EQ(store->ReadRecordProps(handle, props, read), 0u);
    ASSERT_EQ(store->DeleteRecord(handle, read), 0u);  // the one just read
    ASSERT_EQ(store->DeleteRecord(handle, b), 0u);     // the next one
    EXPECT_EQ(store->DeleteRecord(handle, b), ERROR_NO_DATA);
    EXPECT_EQ(ReadTags(handle), std::vector<std::uint32_t>{3});
    // A rewrite replaces the properties given and moves the record to its
    // new key's place; its object id stays.
    const Oid c = Write(handle, Keyed(5, 4));
    Oid written = 0;
    ASSERT_EQ(store->WriteRecordProps(handle, c, {PropVal::UI2(1, 0)}, written), 0u);
    EXPECT_EQ(written, c);
    Oid found = 0;
    ASSERT_EQ(store->SeekDatabase(handle, CEDB_SEEK_BEGINNING, 0, nullptr, found), 0u);
    EXPECT_EQ(found, c);
    EXPECT_EQ(ReadTags(handle), (std::vector<std::uint32_t>{4, 3}));
    EXPECT_EQ(store->WriteRecordProps(handle, a, Keyed(1, 1), written), ERROR_NO_DATA);
    // Ids are not given twice, even after the newest record is deleted.
    ASSERT_EQ(store->DeleteRecord(handle, c), 0u);
    EXPECT_GT(Write(handle, Keyed(9, 9)), c);
}

// Reads one after the other go on from where they stopped, whatever was
// written, deleted or read through other handles in between.
TEST_F(RecordTest, AReadGoingOnSeesWhatChangedMeanwhile) {
    for (std::uint16_t key : {10, 20, 30, 40}) Write(handle, Keyed(key, key));
    Handle other = 0, byTag = 0;
    ASSERT_EQ(store->OpenDatabase(oid, {}, 0, CEDB_AUTOINCREMENT, other), 0u);
    ASSERT_EQ(store->OpenDatabase(oid, {}, kKey2, CEDB_AUTOINCREMENT, byTag), 0u);
    Record props;
    Oid read = 0;
    auto next = [&](Handle h) {
        EXPECT_EQ(store->ReadRecordProps(h, props, read), 0u);
        return props.size() > 1 ? props[1].number : 0u;
    };
    EXPECT_EQ(next(handle), 10u);
    EXPECT_EQ(next(other), 10u);
    EXPECT_EQ(next(handle), 20u);
    EXPECT_EQ(next(byTag), 10u);
    Write(handle, Keyed(15, 15));  // behind the first handle: not read by it
    Write(handle, Keyed(35, 35));  // ahead of it: read in its place
    Handle finder = 0;
    ASSERT_EQ(store->OpenDatabase(oid, {}, 0, CEDB_AUTOINCREMENT, finder), 0u);
    Oid found = 0;
    const PropVal thirty = PropVal::UI2(1, 30);
    ASSERT_EQ(store->SeekDatabase(finder, CEDB_SEEK_VALUEFIRSTEQUAL, 0, &thirty, found), 0u);
    ASSERT_EQ(store->DeleteRecord(finder, found), 0u);  // ahead of both: not read
    Handle audit = Create("TDXLAF", {{0x00010013, 0}});
    Write(audit, {PropVal::UI4(1, 1)});
    EXPECT_EQ(ReadTags(handle), (std::vector<std::uint32_t>{35, 40}));
    EXPECT_EQ(ReadTags(other), (std::vector<std::uint32_t>{15, 20, 35, 40}));
    EXPECT_EQ(ReadTags(byTag), (std::vector<std::uint32_t>{15, 20, 35, 40}));
}

TEST_F(RecordTest, PropertiesComeBackAsWrittenAndBadOnesAreRefused) {
    const QString text = QString::fromUtf8("Tür \xF0\x9F\x94\x91 12");
    const QByteArray blob("\x00\x01\xFF", 3);
    const Record props = {PropVal::UI2(1, 0xFFFF), PropVal::Text(3, text), PropVal::Blob(2, blob),
                          PropVal::UI4(4, 0xFFFFFFFF)};
    const Oid oid = Write(handle, props);
    Oid found = 0, read = 0;
    ASSERT_EQ(store->SeekDatabase(handle, CEDB_SEEK_CEOID, oid, nullptr, found), 0u);
    Record back;
    ASSERT_EQ(store->ReadRecordProps(handle, back, read), 0u);
    EXPECT_EQ(back, props);
    // CEDB_PROPDELETE takes a property off.
    PropVal drop = PropVal::Text(3, {});
    drop.flags = CEDB_PROPDELETE;
    Oid written = 0;
    ASSERT_EQ(store->WriteRecordProps(handle, oid, {drop}, written), 0u);
    ASSERT_EQ(store->SeekDatabase(handle, CEDB_SEEK_CEOID, oid, nullptr, found), 0u);
    ASSERT_EQ(store->ReadRecordProps(handle, back, read), 0u);
    EXPECT_EQ(back.size(), 3u);

    PropVal wide = PropVal::UI2(1, 0);
    wide.number = 0x10000;
    for (const Record& bad :
         {Record{wide}, Record{PropVal::UI2(1, 1), PropVal::UI2(1, 2)},
          Record{PropVal{0x00010003, 0, 1, {}, {}}},
          Record{PropVal::Blob(2, QByteArray(CEDB_MAXPROPDATASIZE + 1, 'x'))}}) {
        EXPECT_EQ(store->WriteRecordProps(handle, 0, bad, written), ERROR_INVALID_PARAMETER);
    }
    ObjectInfo info;
    ASSERT_EQ(store->OidGetInfo(this->oid, info), 0u);
    EXPECT_EQ(info.database.recordCount, 1u);
}

TEST_F(RecordTest, AFullStoreRefusesTheWriteAndKeepsTheRest) {
    Write(handle, Keyed(1, 1));
    ASSERT_EQ(store->SetCapacity(100), 0u);
    Oid written = 0;
    const Record big = {PropVal::UI2(1, 2), PropVal::Blob(3, QByteArray(80, 'x'))};
    EXPECT_EQ(store->WriteRecordProps(handle, 0, big, written), ERROR_DISK_FULL);
    EXPECT_EQ(written, 0u);
    Write(handle, Keyed(2, 2));
    EXPECT_EQ(ReadTags(handle), (std::vector<std::uint32_t>{1, 2}));
    ASSERT_EQ(store->SetCapacity(0), 0u);
    EXPECT_EQ(store->WriteRecordProps(handle, 0, big, written), 0u);
}

TEST(RecordCodec, RefusesBytesItDidNotWrite) {
    const Record props = {PropVal::UI2(1, 7), PropVal::Text(2, "ab"), PropVal::Blob(3, "xyz")};
    const QByteArray stored = EncodeRecord(props);
    EXPECT_EQ(DecodeRecord(stored), props);
    EXPECT_FALSE(DecodeRecord(stored.left(stored.size() - 1)));
    EXPECT_FALSE(DecodeRecord(stored + QByteArray(3, '\0')));
    QByteArray oddText = EncodeRecord({PropVal::Text(1, "a")});
    oddText[4] = 1;  // one byte of UTF-16
    EXPECT_FALSE(DecodeRecord(oddText.left(9)));
    QByteArray wrongType = EncodeRecord({PropVal::UI2(1, 7)});
    wrongType[0] = 0x13;  // claims CEVT_UI4 with 2 bytes
    EXPECT_FALSE(DecodeRecord(wrongType));
    EXPECT_EQ(DecodeRecord(QByteArray()), Record{});
}

}  // namespace
}  // namespace ce::testing
