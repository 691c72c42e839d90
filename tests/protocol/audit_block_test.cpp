#include <gtest/gtest.h>

#include "protocol/audit_block.h"
#include "protocol/packed_date.h"

namespace protocol {
namespace {

AuditEvent Event(std::uint8_t type, int slot, std::uint8_t level = 0, std::uint8_t groups = 0) {
    AuditEvent e;
    e.type = type;
    e.dateWord = PackDate(2026, 3, 14);
    e.hour = 9;
    e.minute = 26;
    e.lockUserIndex = slot;
    e.accessLevel = level;
    e.userGroups = groups;
    return e;
}

AuditStatus Status(std::uint16_t millivolts) {
    return {millivolts, 0x0102, 0x0304, 0x05060708, 0x090A0B0C, 26, 12, 8, 18, 49};
}

std::vector<AuditItem> Decoded(const Bytes& block) {
    return DecodeAuditBlock(block).items;
}

TEST(AuditBlock, EntriesComeBackInOrderWithDescendingKeys) {
    const std::vector<AuditItem> items = {Event(kAuditEntry, 5),
                                          Event(kAuditKeyOnly, 0),
                                          Status(3900),
                                          Event(kAuditSetAccessLevel, 0x5A5, 3, 0x81),
                                          Event(kAuditSetGroupAccess, kAuditNoUserSlot, 0, 0x0F),
                                          Event(0x20, 7)};
    const Bytes block = EncodeAuditBlock(0x01020304, items);
    EXPECT_EQ(block.size(), 4u + 6 + 6 + 20 + 8 + 7 + 6);

    const AuditBlock decoded = DecodeAuditBlock(block);
    EXPECT_EQ(decoded.firstKey, 0x01020304u);
    ASSERT_EQ(decoded.items.size(), items.size());
    // The status entry takes no key; the key-only entry does.
    const std::uint32_t keys[] = {0x01020304, 0x01020303, 0, 0x01020302, 0x01020301, 0x01020300};
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (const auto* event = std::get_if<AuditEvent>(&items[i])) {
            AuditEvent expected = *event;
            expected.auditKey = keys[i];
            EXPECT_EQ(std::get<AuditEvent>(decoded.items[i]), expected) << i;
        } else {
            EXPECT_EQ(decoded.items[i], items[i]);
        }
    }
    EXPECT_FALSE(std::get<AuditEvent>(decoded.items[1]).Kept());
}

TEST(AuditBlock, EventBytesAreLaidOutAsTheLockWritesThem) {
    Bytes block;
    AppendAuditEvent(block, Event(kAuditSetAccessLevel, 0x5A5, 3, 0x81));
    const std::uint16_t date = PackDate(2026, 3, 14);
    EXPECT_EQ(block, (Bytes{5, static_cast<std::uint8_t>(date >> 8),
                            static_cast<std::uint8_t>(date), 9 << 3 | 5, 0xA5, 26, 3, 0x81}));
    Bytes status;
    AppendAuditStatus(status, Status(0x1234));
    EXPECT_EQ(status,
              (Bytes{0xFF, 0x12, 0x34, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 26, 12, 8, 18, 49}));
}

TEST(AuditBlock, BlocksOfFourBytesOrLessHoldNothing) {
    for (std::size_t size = 0; size <= 4; ++size) {
        const AuditBlock b = DecodeAuditBlock(Bytes(size, 0x03));
        EXPECT_EQ(b.firstKey, 0u);
        EXPECT_TRUE(b.items.empty());
    }
}

TEST(AuditBlock, EndMarkersStopTheEntries) {
    for (std::uint8_t end : {kAuditEnd, kAuditEndAlternate}) {
        Bytes block = EncodeAuditBlock(9, {Event(kAuditEntry, 1)});
        block.push_back(end);
        AppendAuditEvent(block, Event(kAuditEntry, 2));
        EXPECT_EQ(Decoded(block).size(), 1u);
    }
}

TEST(AuditBlock, AnEntryCutShortEndsTheParse) {
    Bytes block = EncodeAuditBlock(9, {Event(kAuditEntry, 1), Status(5000)});
    block.resize(block.size() - 1);  // the status entry lacks its minute
    EXPECT_EQ(Decoded(block).size(), 1u);

    // Set Access Level needs 8 bytes; only 7 are left.
    Bytes level = EncodeAuditBlock(9, {Event(kAuditEntry, 1), Event(kAuditSetAccessLevel, 1)});
    level.pop_back();
    EXPECT_EQ(Decoded(level).size(), 1u);
    // A type the lock does not name takes 6 bytes.
    Bytes other = EncodeAuditBlock(9, {Event(0x33, 1)});
    other.pop_back();
    EXPECT_TRUE(Decoded(other).empty());
}

TEST(AuditBlock, EventTimesAreRealMomentsOrNothing) {
    AuditEvent e = Event(kAuditEntry, 1);
    EXPECT_EQ(AuditEventTime(e, 2026), (CivilDateTime{2026, 3, 14, 9, 26, 0}));
    e.dateWord = PackDate(2099, 1, 2);
    EXPECT_EQ(AuditEventTime(e, 2026)->year, 2099);
    EXPECT_EQ(AuditEventTime(e, 2199)->year, 2199);
    e.dateWord = PackDate(2026, 4, 31);  // a date word would roll this on to 1 May
    EXPECT_FALSE(AuditEventTime(e, 2026));
    e.dateWord = PackDate(2026, 4, 30);
    e.hour = 24;
    EXPECT_FALSE(AuditEventTime(e, 2026));
    e.hour = 23;
    e.minute = 60;
    EXPECT_FALSE(AuditEventTime(e, 2026));
    e.dateWord = 0;
    e.minute = 0;
    EXPECT_FALSE(AuditEventTime(e, 2026));
}

TEST(AuditBlock, StatusTimesAreRealMomentsOrNothing) {
    AuditStatus s = Status(5000);
    EXPECT_EQ(AuditStatusTime(s, 2026), (CivilDateTime{2026, 12, 8, 18, 49, 0}));
    s.year = 28, s.month = 2, s.day = 29;
    EXPECT_TRUE(AuditStatusTime(s, 2026));
    s.year = 27;
    EXPECT_FALSE(AuditStatusTime(s, 2026));
    for (auto bad :
         {AuditStatus{0, 0, 0, 0, 0, 100, 1, 1, 0, 0}, AuditStatus{0, 0, 0, 0, 0, 26, 13, 1, 0, 0},
          AuditStatus{0, 0, 0, 0, 0, 26, 1, 0, 0, 0}, AuditStatus{0, 0, 0, 0, 0, 26, 1, 40, 0, 0},
          AuditStatus{0, 0, 0, 0, 0, 26, 1, 1, 24, 0}, AuditStatus{0, 0, 0, 0, 0, 26, 1, 1, 0, 60}})
        EXPECT_FALSE(AuditStatusTime(bad, 2026));
}

}  // namespace
}  // namespace protocol
