// The handheld record on a handheld: accessors, property counts, seeks,
// reads, writes and deletes over the CE calls.
#include "tests/desktop/exchange/handheld_fixture.h"

namespace tandrel::testing {
namespace {

bool WriteProgram(CHandheldRecord& pgm, std::uint16_t lock, std::uint16_t seq,
                  std::uint16_t command) {
    pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint32_t>(lock) << 16 | seq);
    pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, command);
    pgm.SetBlob(PGM_DATA_OFFSET_DATA, QByteArray(1, static_cast<char>(seq)));
    return pgm.Write(true);
}

// Sequence numbers of the records read on from the position.
std::vector<int> ReadSequences(CHandheldRecord& pgm) {
    std::vector<int> seqs;
    while (pgm.Read()) seqs.push_back(pgm.GetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS) & 0xFFFF);
    return seqs;
}

TEST_F(HandheldTest, AccessorsKeepToTheKindsLayout) {
    CHandheldRecord lmf = Record(RecordKind::EnrolledLock);
    lmf.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, 0xFFFF);
    lmf.SetUI4(LMF_DATA_OFFSET_LOCK_ADDRESS, 7);  // wrong type: ignored
    lmf.SetString(LMF_DATA_OFFSET_NAME, "Door");
    lmf.SetUI4(LMF_DATA_OFFSET_CARD_COUNT, 0xFFFFFFFF);
    lmf.SetUI2(12, 1);
    EXPECT_EQ(lmf.GetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS), 0xFFFF);
    EXPECT_EQ(lmf.GetUI4(LMF_DATA_OFFSET_LOCK_ADDRESS), 0u);
    EXPECT_EQ(lmf.GetString(LMF_DATA_OFFSET_NAME), "Door");
    EXPECT_EQ(lmf.GetUI4(LMF_DATA_OFFSET_CARD_COUNT), 0xFFFFFFFFu);
    EXPECT_EQ(lmf.GetUI2(-1), 0);
    EXPECT_TRUE(lmf.HasType(LMF_DATA_OFFSET_NAME, DATA_TYPE_STRING));
    EXPECT_TRUE(lmf.HasType(LMF_DATA_OFFSET_DRIVE_COUNT, DATA_TYPE_I4));
    EXPECT_FALSE(lmf.HasType(LMF_DATA_OFFSET_NAME, DATA_TYPE_I2));
    EXPECT_FALSE(lmf.HasType(10, DATA_TYPE_I2));
    const ce::Record props = lmf.Properties();
    ASSERT_EQ(props.size(), 10u);
    EXPECT_EQ(props[4].id, 0x0005001Fu);
    EXPECT_EQ(props[9].id, 0x000A0013u);

    const std::pair<RecordKind, int> counts[] = {
        {RecordKind::Programming, 3},   {RecordKind::Directory, 3},      {RecordKind::Audit, 2},
        {RecordKind::EnrolledLock, 10}, {RecordKind::DeviceRegistry, 4}, {RecordKind::OsData, 2}};
    for (auto [kind, count] : counts) EXPECT_EQ(Record(kind).PropertyCount(), count);
    CHandheldRecord los = Record(RecordKind::OsData);
    EXPECT_TRUE(los.HasType(LOS_DATA_OFFSET_BLOCK_NUMBER, DATA_TYPE_I4));
    EXPECT_TRUE(los.AlwaysUpdate());
    EXPECT_FALSE(Record(RecordKind::Programming).AlwaysUpdate());
}

TEST_F(HandheldTest, ProgrammingRecordsSeekAndReadInKeyOrder) {
    CHandheldRecord pgm = Record(RecordKind::Programming);
    ASSERT_TRUE(WriteProgram(pgm, 7, 0, 0x20));
    ASSERT_TRUE(WriteProgram(pgm, 3, 0, 0x21));
    ASSERT_TRUE(WriteProgram(pgm, 7, 1, 0x30));
    ASSERT_TRUE(WriteProgram(pgm, 3, 1, 0x31));
    // A value-greater seek on lock address x 65536 lands on the lock's first
    // record, sequence 0 included.
    pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, 7u << 16);
    ASSERT_TRUE(pgm.Seek(1, PGM_DATA_OFFSET_LOCK_ADDRESS));
    ASSERT_TRUE(pgm.Read());
    EXPECT_EQ(pgm.GetUI2(PGM_DATA_OFFSET_COMMAND), 0x20);
    EXPECT_EQ(pgm.GetBlob(PGM_DATA_OFFSET_DATA), QByteArray(1, '\0'));
    ASSERT_TRUE(pgm.Seek(0));
    EXPECT_EQ(ReadSequences(pgm), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(pgm.LastError(), ce::ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(pgm.GetUI2(PGM_DATA_OFFSET_COMMAND), 0x30);  // a failed read changes nothing

    pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, 3u << 16 | 1);
    ASSERT_TRUE(pgm.Seek(2, PGM_DATA_OFFSET_LOCK_ADDRESS));
    ASSERT_TRUE(pgm.Read());
    EXPECT_EQ(pgm.GetUI2(PGM_DATA_OFFSET_COMMAND), 0x31);
    pgm.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, 5u << 16);
    EXPECT_FALSE(pgm.Seek(2, PGM_DATA_OFFSET_LOCK_ADDRESS));
    EXPECT_EQ(pgm.LastError(), ce::ERROR_NO_DATA);
    EXPECT_FALSE(pgm.Seek(3, 0));
    EXPECT_EQ(pgm.LastError(), ce::ERROR_INVALID_PARAMETER);
}

TEST_F(HandheldTest, RewritesInPlaceDeletesAndDeleteAll) {
    CHandheldRecord pgm = Record(RecordKind::Programming);
    for (std::uint16_t seq = 0; seq < 3; ++seq) ASSERT_TRUE(WriteProgram(pgm, 9, seq, 0x60));
    // Nothing read yet: a rewrite has no record to rewrite.
    CHandheldRecord fresh = Record(RecordKind::Programming);
    EXPECT_FALSE(fresh.Write(false));
    EXPECT_EQ(fresh.LastError(), ce::ERROR_NO_DATA);

    ASSERT_TRUE(pgm.Seek(0));
    ASSERT_TRUE(pgm.Read());
    const ce::Oid first = pgm.CurrentOid();
    pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, 0x8060);  // the delivered mark
    ASSERT_TRUE(pgm.Write(false));
    EXPECT_EQ(pgm.CurrentOid(), first);
    ASSERT_TRUE(pgm.Read());
    ASSERT_TRUE(pgm.Delete());
    ASSERT_TRUE(pgm.Seek(0));
    ASSERT_TRUE(pgm.Read());
    EXPECT_EQ(pgm.GetUI2(PGM_DATA_OFFSET_COMMAND), 0x8060);
    EXPECT_EQ(ReadSequences(pgm), std::vector<int>{2});

    ASSERT_TRUE(pgm.DeleteAll());
    EXPECT_FALSE(pgm.Seek(0));
    EXPECT_FALSE(pgm.Read());
    EXPECT_EQ(pgm.LastError(), ce::ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(pgm.DeleteAll());  // nothing left: still fine
}

TEST_F(HandheldTest, OsDataGoesToTheHandheldWithTwoProperties) {
    ce::Oid oid = 0;
    ASSERT_EQ(CreateHandheldDatabase(device, HandheldDatabase::TDXLOS, oid), 0u);
    ce::Handle handle = 0;
    ASSERT_EQ(device.OpenDatabase(oid, {}, 0, ce::CEDB_AUTOINCREMENT, handle), 0u);
    CHandheldRecord los(RecordKind::OsData, transport, handle);
    los.SetUI4(LOS_DATA_OFFSET_FACILITY, 2u << 16);
    los.SetBlob(LOS_DATA_OFFSET_DATA, QByteArray("\x02\x10\x00\xAA\xBB", 5));
    los.SetUI4(LOS_DATA_OFFSET_BLOCK_NUMBER, 9);
    ASSERT_TRUE(los.Write(true));
    ASSERT_EQ(device.SeekDatabase(handle, ce::CEDB_SEEK_BEGINNING, 0, nullptr, oid), 0u);
    ce::Record props;
    ASSERT_EQ(device.ReadRecordProps(handle, props, oid), 0u);
    EXPECT_EQ(props, (ce::Record{ce::PropVal::UI4(1, 2u << 16),
                                 ce::PropVal::Blob(2, QByteArray("\x02\x10\x00\xAA\xBB", 5))}));
}

TEST_F(HandheldTest, ASeekComparesTheSlotItNames) {
    CHandheldRecord lmf = Record(RecordKind::EnrolledLock);
    for (std::uint16_t lock : {4, 5, 6}) {
        lmf.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, lock);
        lmf.SetUI2(LMF_DATA_OFFSET_PARENT, static_cast<std::uint16_t>(30 - lock));
        ASSERT_TRUE(lmf.Write(true));
    }
    // By path index on the second TDXLMF handle: slot 1, not slot 0.
    CHandheldRecord byPath(RecordKind::EnrolledLock, transport, dbs.lmfByPath.handle);
    byPath.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, 4);
    byPath.SetUI2(LMF_DATA_OFFSET_PARENT, 25);
    ASSERT_TRUE(byPath.Seek(2, LMF_DATA_OFFSET_PARENT));
    ASSERT_TRUE(byPath.Read());
    EXPECT_EQ(byPath.GetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS), 5);
}

}  // namespace
}  // namespace tandrel::testing
