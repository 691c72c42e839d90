#include "desktop/admin/autocode_pin.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_list_ops.h"
#include "desktop/admin/user_texts.h"
#include "protocol/packed_date.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

class UserSheet : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        for (auto [name, capacity] :
             std::vector<std::pair<QString, int>>{{"Front", 2000}, {"Vault", 1}, {"Back", 2000}}) {
            CLocksRecordset locks(doc.Db());
            locks.AddNew();
            locks.m_Name = name;
            locks.m_UserCapacity = static_cast<std::int16_t>(capacity);
            locks.m_RecordState = 1;
            locks.m_PendingActionCounter = 0;
            locks.Update();
        }
    }

    // A filled-in new user sheet (not saved).
    std::unique_ptr<CLockUsersSheet> Sheet(const QString& last, const QString& id,
                                           int type = kGeneral) {
        auto sheet = CLockUsersSheet::NewUser(doc, prompter);
        UserGeneralPage& g = sheet->General();
        g.lastName = last;
        g.firstName = "Pat";
        g.id = id;
        g.pin = "123";
        sheet->SetUserType(type);
        sheet->Groups().homeGroup = 0;
        return sheet;
    }

    int AddUser(const QString& last, const QString& id, int type, std::vector<int> locks = {}) {
        auto sheet = Sheet(last, id, type);
        if (!locks.empty()) {
            EXPECT_TRUE(sheet->Enrol(locks));
        }
        EXPECT_TRUE(sheet->CheckGeneralPage());
        EXPECT_TRUE(sheet->Save(QDate(2026, 3, 20)));
        return sheet->UserKey();
    }

    struct Row {
        int lock, user, state, slot;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> Rows() {
        std::vector<Row> rows;
        CUsersToLocksRecordset r(doc.Db());
        r.SetCurrentIndex("PrimaryKey");
        for (r.MoveFirst(); !r.IsEOF(); r.MoveNext()) {
            rows.push_back({r.m_LockIndex, r.m_UserIndex, r.m_RecordState, r.m_LockUserIndex});
        }
        return rows;
    }
    CLocksRecordset& Lock(int key) {
        locks_ = std::make_unique<CLocksRecordset>(doc.Db());
        locks_->SetCurrentIndex("PrimaryKey");
        EXPECT_TRUE(locks_->Seek("=", {key}));
        return *locks_;
    }
    CLockUsersRecordset& User(int key) {
        users_ = std::make_unique<CLockUsersRecordset>(doc.Db());
        users_->SetCurrentIndex("PrimaryKey");
        EXPECT_TRUE(users_->Seek("=", {key}));
        return *users_;
    }
    // The row of delivered enrolments, as an exchange would leave them.
    void Deliver() {
        doc.Db().ExecuteSql(
            "UPDATE \"Users to Locks\" SET \"Record State\" = 1, \"Download User Rev Number\" = 1 "
            "WHERE \"Record State\" IN (2, 3); UPDATE \"Users\" SET \"Pending Action Counter\" = "
            "0; "
            "UPDATE \"Locks\" SET \"Pending Action Counter\" = 0");
    }

    std::unique_ptr<CLocksRecordset> locks_;
    std::unique_ptr<CLockUsersRecordset> users_;
};

TEST_F(UserSheet, GeneralPageChecksInTheirOrder) {
    auto sheet = CLockUsersSheet::NewUser(doc, prompter);
    UserGeneralPage& g = sheet->General();
    UserField field;
    auto expect = [&](const QString& message, UserField want) {
        prompter.Clear();
        EXPECT_FALSE(sheet->CheckGeneralPage(&field));
        EXPECT_EQ(prompter.Shown(), QStringList{message});
        EXPECT_EQ(field, want);
    };
    g.lastName = "  ";
    expect(texts::kMustEnterLastName, UserField::LastName);
    g.lastName = "Lovelace";
    expect(texts::kMustEnterFirstName, UserField::FirstName);
    g.firstName = "Ada";
    g.id = "12a4";
    expect(texts::kIdNumericOnly, UserField::Id);
    g.id = "";
    expect(texts::kMustEnterValidId, UserField::Id);
    g.id = "123";
    expect("Code ID Length Must Be 4 Digits", UserField::Id);
    g.idType = kIdProxCard;
    expect("Card ID Length Must be Between 4 and 19 Digits", UserField::Id);
    g.id = QString(20, '7');
    expect("Card ID Length Must be Between 4 and 19 Digits", UserField::Id);
    g.idType = kIdMagCard;
    g.id = "123456";
    g.cardIssueNumber = "x";
    expect(texts::kCardIssueNumber, UserField::CardIssueNumber);
    g.cardIssueNumber = "3";
    expect(texts::kSelectDefaultType, UserField::UserType);
    g.userType = 4;  // no type of the drop-down
    expect(texts::kSelectDefaultType, UserField::UserType);
    sheet->SetUserType(kManager);
    g.pin = "1234";
    expect(texts::kPinMustShorter, UserField::Pin);
    g.pin = "12";
    expect(texts::kPinMustLonger, UserField::Pin);
    g.pin = "1a3";
    expect(texts::kPinNumericOnly, UserField::Pin);
    g.pin = "";
    expect(texts::kMustEnterPin, UserField::Pin);
    g.pin = "123";
    EXPECT_TRUE(sheet->CheckGeneralPage());
    prompter.Clear();
    EXPECT_FALSE(sheet->CheckGroupsPage());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kSelectHomeGroup});
}

TEST_F(UserSheet, NamesStayOnOneLineAndFitTheirFields) {
    auto sheet = Sheet("Lovelace", "1234");
    UserGeneralPage& g = sheet->General();
    UserField field;
    auto expect = [&](const QString& message, UserField want) {
        prompter.Clear();
        EXPECT_FALSE(sheet->CheckGeneralPage(&field)) << message.toStdString();
        EXPECT_EQ(prompter.Shown(), QStringList{message});
        EXPECT_EQ(field, want);
    };
    g.lastName = QString(21, 'L');
    expect("Last Name can not be longer than 20 characters", UserField::LastName);
    g.lastName = "Love\tlace";
    expect("Last Name can not contain tabs, line breaks or other control characters",
           UserField::LastName);
    g.lastName = "Lovelace";
    g.firstName = QStringLiteral("A\u2028da");
    expect("First Name can not contain tabs, line breaks or other control characters",
           UserField::FirstName);
    g.firstName = "Ada";
    g.middleInitial = "AB";
    expect("Middle Initial can not be longer than 1 character", UserField::MiddleInitial);
    g.middleInitial = "B";
    g.idType = kIdMagCard;
    g.id = "123456";
    g.cardIssueNumber = "12";
    expect("Card Issue Number can not be longer than 1 character", UserField::CardIssueNumber);
    g.cardIssueNumber = "1";
    g.lastName = QString(20, 'L');  // the limit itself fits
    prompter.Clear();
    EXPECT_TRUE(sheet->CheckGeneralPage());
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(UserSheet, NotesUnderTheFacilityCaptionsRefuseControlCharactersButKeepTabs) {
    doc.Db().ExecuteSql("UPDATE FacilityProperties SET ReferenceName = 'Badge'");
    doc.m_pFacilityProperties->Requery();
    auto sheet = Sheet("Lovelace", "1234");
    UserField field;
    sheet->Notes().reference = QStringLiteral("B\x01");
    EXPECT_FALSE(sheet->CheckNotesPage(&field));
    EXPECT_EQ(field, UserField::Reference);
    sheet->Notes() = {"Room\t12", QString(33, 'c'), ""};
    EXPECT_FALSE(sheet->CheckNotesPage(&field));
    EXPECT_EQ(field, UserField::Contact1);
    EXPECT_EQ(prompter.Shown(), (QStringList{"Badge can not contain control characters",
                                             "Contact1 can not be longer than 32 characters"}));
    // Saving checks again, so a text the engine would refuse never reaches
    // it.
    prompter.Clear();
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(prompter.Shown(), QStringList{"Contact1 can not be longer than 32 characters"});
    EXPECT_EQ(IntOf(doc.Db(), "SELECT count(*) FROM Users"), 2);
    sheet->Notes().contact1 = "c";
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(User(sheet->UserKey()).m_Reference, "Room\t12");
}

TEST_F(UserSheet, StoredNamesAreCheckedOnlyWhenChanged) {
    const int key = AddUser("Lovelace", "1234", kGeneral);
    doc.Db().ExecuteSql("UPDATE Users SET \"First Name\" = 'A' || char(9) || 'da'");
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    sheet->General().pin = "321";
    EXPECT_TRUE(sheet->CheckGeneralPage());
    EXPECT_TRUE(sheet->Save());
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(UserSheet, IdsAreUniquePerIdType) {
    AddUser("First", "1234", kGeneral);
    auto same = Sheet("Second", "1234");
    EXPECT_FALSE(same->CheckGeneralPage());
    EXPECT_EQ(prompter.Shown().last(), "Code ID Number Already In Use");
    same->General().idType = kIdProxCard;
    EXPECT_TRUE(same->CheckGeneralPage());
    EXPECT_TRUE(same->Save());
    auto third = Sheet("Third", "1234");
    third->General().idType = kIdProxCard;
    EXPECT_FALSE(third->CheckGeneralPage());
    EXPECT_EQ(prompter.Shown().last(), "Prox Card ID Number Already In Use");
}

TEST_F(UserSheet, SavingANewUserWritesTheRowAndItsEnrolments) {
    int key = AddUser("Ada", "1234", kProgrammer, {1, 3});
    EXPECT_EQ(key, 2);
    CLockUsersRecordset& u = User(key);
    EXPECT_EQ(u.m_RecordState, 1);
    EXPECT_EQ(u.m_RevisionCounter, 1);
    EXPECT_EQ(u.m_PendingActionCounter, 2);
    EXPECT_EQ(u.m_EnrolledLockCounter, 2);
    EXPECT_EQ(u.m_CurPIN, "123");
    EXPECT_EQ(u.m_NextPIN, "123");
    EXPECT_FALSE(u.m_CardMedia);
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, 2, 2, 0}, {3, 2, 2, 0}}));
    CLocksRecordset& front = Lock(1);
    EXPECT_EQ(front.m_PendingActionCounter, 2);
    EXPECT_EQ(front.m_PgmIDCount, 1);
    EXPECT_EQ(front.m_EnrolledUserCounter, 1);
    EXPECT_EQ(Lock(2).m_PendingActionCounter, 0);
}

TEST_F(UserSheet, AFullLockAsksAndYesEnrolsEverywhereElse) {
    AddUser("Holder", "1111", kProgrammer, {2});
    prompter.Clear();
    auto sheet = Sheet("Newcomer", "2222");
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(sheet->Enrol({1, 2, 3}));
    EXPECT_EQ(
        prompter.Shown(),
        QStringList{"Unable to enroll user into:\n'Vault'\nLock user list is full -- Continue?"});
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, 3, 2, 0}, {2, 2, 2, 0}, {3, 3, 2, 0}}));
    auto declined = Sheet("Other", "3333");
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(declined->Enrol({2, 3}));
    EXPECT_EQ(declined->LockEntries()[2].draft.state, kNotEnrolled);
}

TEST_F(UserSheet, AddedAndRemovedInOneSheetLeavesNothing) {
    int key = AddUser("Ada", "1234", kGeneral);
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->Enrol({1}));
    EXPECT_TRUE(sheet->Remove({1}));
    ASSERT_TRUE(sheet->Save());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Lock(1).m_PendingActionCounter, 0);
    EXPECT_EQ(User(key).m_PendingActionCounter, 0);
}

TEST_F(UserSheet, RemovingAndReenrollingFollowTheStates) {
    int key = AddUser("Ada", "1234", kGeneral, {1, 3});
    Deliver();
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    EXPECT_TRUE(sheet->Remove({1, 3}));
    EXPECT_TRUE(sheet->Enrol({3}));  // back to its stored state
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, 2, 4, 0}, {3, 2, 1, 0}}));
    EXPECT_EQ(Lock(1).m_PendingActionCounter, 2);
    EXPECT_EQ(Lock(3).m_PendingActionCounter, 0);
    EXPECT_EQ(User(key).m_PendingActionCounter, 1);
    // A stored pending removal enrolled again becomes a pending enrolment.
    auto again = CLockUsersSheet::EditUser(doc, prompter, key);
    EXPECT_TRUE(again->Enrol({1}));
    ASSERT_TRUE(again->Save());
    EXPECT_EQ(Rows()[0].state, kPendingEnrolment);
}

TEST_F(UserSheet, TheLastProgrammerOfALockIsKeptOnRequest) {
    int key = AddUser("Ada", "1234", kProgrammer, {1, 3});
    AddUser("Bob", "5678", kProgrammer, {3});
    prompter.Clear();
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(sheet->Remove({1, 3}));
    EXPECT_EQ(prompter.Shown(),
              QStringList{"Unable to remove user from:\n'Front'\nUser is last remaining enrolled "
                          "Programmer ID -- Continue?"});
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Rows()[0].state, kPendingEnrolment);  // Front kept
    EXPECT_EQ(Lock(3).m_PgmIDCount, 1);
}

TEST_F(UserSheet, AChangedIdReachesEveryLockThatHoldsTheUser) {
    int key = AddUser("Ada", "1234", kGeneral, {1, 3});
    Deliver();
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    sheet->General().id = "4321";
    EXPECT_EQ(sheet->ChangeFlags(), 2);
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, 2, 3, 0}, {3, 2, 3, 0}}));
    EXPECT_EQ(User(key).m_RevisionCounter, 2);
    EXPECT_EQ(User(key).m_PendingActionCounter, 2);
    EXPECT_EQ(Lock(1).m_PendingActionCounter, 2);
    // A new default type reaches the enrolments that follow the defaults.
    Deliver();
    auto typed = CLockUsersSheet::EditUser(doc, prompter, key);
    typed->SetUserType(kProgrammer);
    ASSERT_TRUE(typed->Save());
    EXPECT_EQ(Lock(1).m_PgmIDCount, 1);
    CUsersToLocksRecordset rows(doc.Db());
    rows.MoveFirst();
    EXPECT_EQ(rows.m_UserType, 0x40);
    EXPECT_EQ(rows.m_RecordState, kPendingUpdate);
}

TEST_F(UserSheet, PerLockTypesCountProgrammers) {
    int key = AddUser("Ada", "1234", kGeneral, {1});
    Deliver();
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    EXPECT_FALSE(sheet->SetLockUserType(3, kProgrammer, 1, false));  // not enrolled there
    EXPECT_TRUE(sheet->SetLockUserType(1, kProgrammer, 0xFF, false));
    EXPECT_EQ(sheet->LockEntries()[0].draft.typeByte, 0x4F);
    EXPECT_EQ(sheet->LockEntries()[0].draft.state, kPendingUpdate);
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Lock(1).m_PgmIDCount, 1);
    EXPECT_EQ(User(key).m_PendingActionCounter, 1);
}

TEST_F(UserSheet, DeletingUsers) {
    int programmer = AddUser("Prog", "1111", kProgrammer, {1});
    int nowhere = AddUser("Idle", "2222", kGeneral);
    int pending = AddUser("Fresh", "3333", kGeneral, {3});
    prompter.Clear();
    EXPECT_FALSE(DeleteUser(doc, prompter, programmer));
    EXPECT_EQ(prompter.Shown(),
              QStringList{"Unable to remove user from:\n'Front'\nUser is last Programmer ID "
                          "enrolled in lock."});
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(DeleteUser(doc, prompter, nowhere));
    EXPECT_EQ(prompter.Shown().last(), texts::DeleteUserQuestion("Pat", "Idle"));
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    EXPECT_TRUE(DeleteUser(doc, prompter, nowhere));
    EXPECT_EQ(User(nowhere).m_RecordState, 0);
    // Only a pending enrolment that never reached the lock: gone at once.
    EXPECT_TRUE(DeleteUser(doc, prompter, pending));
    EXPECT_EQ(User(pending).m_RecordState, 0);
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, programmer, 2, 0}}));
    EXPECT_FALSE(FindUser(doc, "fresh"));
    EXPECT_EQ(FindUser(doc, "PROG, p"), programmer);
}

TEST_F(UserSheet, ADeliveredUserWaitsForRemovalAndCanBeRestored) {
    AddUser("Keeper", "1111", kProgrammer, {1, 3});
    int key = AddUser("Ada", "2222", kProgrammer, {1, 3});
    Deliver();
    prompter.Clear();
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(DeleteUser(doc, prompter, key));
    CLockUsersRecordset& u = User(key);
    EXPECT_EQ(u.m_RecordState, 4);
    EXPECT_EQ(Lock(1).m_PgmIDCount, 1);
    EXPECT_EQ(Lock(1).m_PendingActionCounter, 2);
    EXPECT_FALSE(DeleteUser(doc, prompter, key));  // already deleted: a beep
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(CLockUsersSheet::EditUser(doc, prompter, key));
    EXPECT_EQ(prompter.Shown().last(), texts::kOpenDeletedUserQuestion);
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(RestoreUser(doc, prompter, key));
    EXPECT_EQ(prompter.Shown().last(), "Restore Pat Ada to facility?");
    EXPECT_EQ(User(key).m_RecordState, 1);
    for (const Row& r : Rows()) {
        if (r.user == key) {
            EXPECT_EQ(r.state, kPendingEnrolment);
        }
    }
    EXPECT_EQ(Lock(3).m_PgmIDCount, 2);
}

TEST_F(UserSheet, TheKeyLimitRefusesUser65535) {
    CLockUsersRecordset users(doc.Db());
    users.AddNew();
    users.m_UserKey = 65534;
    users.m_LastName = "Last";
    users.Update();
    auto sheet = Sheet("Over", "1234");
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(prompter.Shown().last(), texts::kOutOfKeys);
    EXPECT_EQ(users.GetRecordCount(), 3);
}

TEST_F(UserSheet, AFailureHalfWayLeavesTheDatabaseAsItWas) {
    AddUser("Ada", "1234", kGeneral, {1});
    auto before = Rows();
    int pendingBefore = Lock(1).m_PendingActionCounter;
    auto sheet = Sheet("Bob", "5678");
    ASSERT_TRUE(sheet->Enrol({1, 3}));
    // Lock 3 vanishes behind the sheet's back: its part of the save fails
    // after the user row and lock 1 were written.
    doc.Db().ExecuteSql("DELETE FROM \"Locks\" WHERE \"Lock Key\" = 3");
    prompter.Clear();
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kErrorAddingUser});
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(Lock(1).m_PendingActionCounter, pendingBefore);
    EXPECT_EQ(CLockUsersRecordset(doc.Db()).GetRecordCount(), 3);
}

TEST_F(UserSheet, AutocodeUsersGetComputedPinsAndTheGroupDateMovesOn) {
    CGroupsRecordset groups(doc.Db());
    groups.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(groups.Seek("=", {0}));
    groups.Edit();
    groups.m_AutocodeEnabled = true;
    groups.m_AutocodeIntervalType = 0;
    groups.m_AutocodeInterval = 7;
    groups.m_PINDate = static_cast<std::int16_t>(protocol::PackDate(2026, 3, 1));
    groups.Update();
    auto sheet = Sheet("Auto", "1234");
    sheet->General().pin.clear();  // not asked for: the group recodes it
    ASSERT_TRUE(sheet->CheckGeneralPage());
    ASSERT_TRUE(sheet->Save(QDate(2026, 3, 20)));
    CLockUsersRecordset& u = User(sheet->UserKey());
    // Next PIN date 22 March; the one after it 29 March. The facility's
    // communication code is 2422 and its PIN length 3.
    EXPECT_EQ(u.m_CurPIN, AutocodePin(2422, "1234", protocol::PackDate(2026, 3, 22), 3));
    EXPECT_EQ(u.m_NextPIN, AutocodePin(2422, "1234", protocol::PackDate(2026, 3, 29), 3));
    ASSERT_TRUE(groups.Seek("=", {0}));
    EXPECT_EQ(static_cast<std::uint16_t>(groups.m_PINDate), protocol::PackDate(2026, 3, 22));
    EXPECT_FALSE(groups.m_RecodeDate.isEmpty());
}

TEST_F(UserSheet, AFailedEditChangesNothing) {
    int key = AddUser("Ada", "1234", kGeneral, {1, 3});
    Deliver();
    auto sheet = CLockUsersSheet::EditUser(doc, prompter, key);
    sheet->General().id = "4321";
    doc.Db().ExecuteSql("DELETE FROM \"Locks\" WHERE \"Lock Key\" = 3");
    prompter.Clear();
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kErrorUpdatingDatabase});
    EXPECT_EQ(User(key).m_LockIDcode, "1234");
    EXPECT_EQ(User(key).m_RevisionCounter, 1);
    EXPECT_EQ(Rows()[0].state, kEnrolmentCurrent);
}

TEST_F(UserSheet, AFailedDeleteChangesNothing) {
    AddUser("Keeper", "1111", kProgrammer, {1, 3});
    int key = AddUser("Ada", "2222", kGeneral, {1, 3});
    Deliver();
    auto before = Rows();
    // Lock 3 vanishes: the deletion fails after lock 1's enrolment was handled.
    doc.Db().ExecuteSql("DELETE FROM \"Locks\" WHERE \"Lock Key\" = 3");
    prompter.Clear();
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_FALSE(DeleteUser(doc, prompter, key));
    EXPECT_EQ(prompter.Shown().last(), texts::kUnexpectedTransactionError);
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(Lock(1).m_PendingActionCounter, 0);
    EXPECT_EQ(User(key).m_RecordState, 1);
}

}  // namespace
}  // namespace tandrel::testing
