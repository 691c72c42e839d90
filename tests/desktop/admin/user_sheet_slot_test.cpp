#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_texts.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

// Two user sheets open on one facility, both showing the vault's last free
// slot: the slot is taken when a sheet is saved, not when its page shows it.
class TwoSheets : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        front = AddLock("Front", 2000);
        vault = AddLock("Vault", 1);
    }

    int AddLock(const QString& name, int capacity) {
        CLocksRecordset locks(doc.Db());
        locks.AddNew();
        const int key = locks.m_LockKey;
        locks.m_Name = name;
        locks.m_UserCapacity = static_cast<std::int16_t>(capacity);
        locks.m_RecordState = 1;
        locks.m_PendingActionCounter = 0;
        locks.Update();
        return key;
    }

    std::unique_ptr<CLockUsersSheet> NewUser(const QString& last, const QString& id) {
        auto sheet = CLockUsersSheet::NewUser(doc, prompter);
        UserGeneralPage& g = sheet->General();
        g.lastName = last;
        g.firstName = "Pat";
        g.id = id;
        g.pin = "123";
        sheet->SetUserType(kGeneral);
        sheet->Groups().homeGroup = 0;
        return sheet;
    }

    // Both sheets enrol (the second also into Front, written before the
    // vault), then the first is saved.
    void BothEnrolAndTheFirstSaves(CLockUsersSheet& first, CLockUsersSheet& second) {
        ASSERT_TRUE(first.Enrol({vault}));
        ASSERT_TRUE(second.Enrol({front, vault}));
        ASSERT_TRUE(prompter.Shown().isEmpty()) << "both pages showed a free slot";
        ASSERT_TRUE(first.Save());
        ASSERT_EQ(EnrolmentState(doc.Db(), vault, first.UserKey()), kPendingEnrolment);
        prompter.Clear();
    }

    int front = 0, vault = 0;
};

TEST_F(TwoSheets, ANewUserSavedIntoATakenLastSlotIsRefusedAndNothingChanges) {
    auto first = NewUser("Ada", "1234");
    auto second = NewUser("Bob", "5678");
    BothEnrolAndTheFirstSaves(*first, *second);
    const QString before = Snapshot(doc.Db());
    EXPECT_FALSE(second->Save());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kErrorAddingUser});
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_TRUE(second->IsNew());
}

TEST_F(TwoSheets, AnEditedUserSavedIntoATakenLastSlotIsRefusedAndNothingChanges) {
    auto existing = NewUser("Bob", "5678");
    ASSERT_TRUE(existing->Save());
    auto first = NewUser("Ada", "1234");
    auto second = CLockUsersSheet::EditUser(doc, prompter, existing->UserKey());
    ASSERT_TRUE(second);
    second->General().firstName = "Robert";
    BothEnrolAndTheFirstSaves(*first, *second);
    const QString before = Snapshot(doc.Db());
    EXPECT_FALSE(second->Save());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kErrorUpdatingDatabase});
    EXPECT_EQ(Snapshot(doc.Db()), before);
}

}  // namespace
}  // namespace tandrel::testing
