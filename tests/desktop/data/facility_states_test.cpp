// A new row starts in the state the program names for it.
#include <gtest/gtest.h>

#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_states.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

QString DefaultOf(const char* table, const char* field) {
    const dao::FieldInfo* f = FacilityTable(table).Field(field);
    return f ? f->defaultValue : QStringLiteral("no such field");
}

TEST(FacilityStates, NewRowsStartInTheirNamedStates) {
    EXPECT_EQ(DefaultOf("Users", "Record State"), QString::number(kUserActive));
    EXPECT_EQ(DefaultOf("Locks", "Record State"), QString::number(kLockNew));
    EXPECT_EQ(DefaultOf("Locks", "Pending Action Counter"), QString::number(kNotYetHanded));
    EXPECT_EQ(DefaultOf("Locks", "Device Link State"), QString::number(kLinkNotEnrolled));
    EXPECT_EQ(DefaultOf("Users to Locks", "Record State"), QString::number(kEnrolmentCurrent));
    EXPECT_EQ(DefaultOf("Handheld PCs", "Record State"), QString::number(kDeviceCurrent));
}

}  // namespace
}  // namespace tandrel::testing
