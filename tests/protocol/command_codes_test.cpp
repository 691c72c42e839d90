#include <gtest/gtest.h>

#include "protocol/lock_command_codes.h"

namespace protocol {
namespace {

TEST(LockCommandCodes, DisplayNames) {
    EXPECT_EQ(LockCommandDisplayName(LOCK_COMMAND_CODE_GET_CERT), "Get Logon Cert");
    EXPECT_EQ(LockCommandDisplayName(LOCK_COMMAND_CODE_GET_CLOCK), "Get clock data");
    EXPECT_EQ(LockCommandDisplayName(LOCK_COMMAND_CODE_GET_LEVEL), "Get Access & Group Levels");
    EXPECT_EQ(LockCommandDisplayName(LOCK_COMMAND_CODE_WRITE_ADDRESS), "Write Flash/Bank Address");
    EXPECT_EQ(LockCommandDisplayName(LOCK_COMMAND_CODE_LOAD_PGM_FILE), "Initiate PGM Download");
    EXPECT_EQ(LockCommandDisplayName(LOCK_COMMAND_CODE_REQ_AUDITALL), "Audit All");
}

TEST(LockCommandCodes, CodesOutsideTheTableAreUnknown) {
    EXPECT_EQ(LockCommandDisplayName(4), "UNKNOWN (4)");
    EXPECT_EQ(LockCommandDisplayName(0), "UNKNOWN (0)");
    EXPECT_EQ(LockCommandDisplayName(148), "UNKNOWN (148)");
    EXPECT_EQ(LockCommandDisplayName(255), "UNKNOWN (255)");
}

TEST(LockCommandCodes, NoCodeIsAFramingByte) {
    for (int code = 0xC0; code <= 0xCF; ++code) {
        EXPECT_EQ(LockCommandDisplayName(code), "UNKNOWN (" + std::to_string(code) + ")");
    }
}

}  // namespace
}  // namespace protocol
