#include <gtest/gtest.h>

#include <set>

#include "desktop/admin/autocode_pin.h"
#include "desktop/admin/length_conversion.h"
#include "desktop/admin/random_digits.h"
#include "desktop/admin/unique_code_ids.h"
#include "protocol/packed_date.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

const QDate kToday(2026, 3, 20);

TEST(RandomDigits, ProductsOfTwoNumbersAppendedThenCut) {
    EXPECT_EQ(RandomDigitString(Sequence({123, 456})), "56088");
    EXPECT_EQ(RandomDigitString(Sequence({32767})), "1073676289");
    EXPECT_EQ(FitToLength("12", 6, Sequence({3, 4})), "121212");
    EXPECT_EQ(FitToLength("", 3, Sequence({0})), "000");
    EXPECT_EQ(FitToLength("123456", 4, NoRandom()), "1234");
    const RandomNumber clock = ClockSeededRandom();
    for (int i = 0; i < 1000; ++i) ASSERT_LE(clock(), 32767u);
}

TEST(UniqueCodeIds, FirstDigitsThenRandomDrawsThenTheOdometer) {
    UniqueCodeIds codes(4, Sequence({2, 3}));  // every draw is "6666"
    EXPECT_EQ(codes.Give("12345"), "1234");
    EXPECT_EQ(codes.Give("12349"), "6666");
    EXPECT_EQ(codes.Give("12340"), "6667");
    EXPECT_EQ(codes.Give("0042"), "0042");
    EXPECT_EQ(codes.OdometerSearches(), 1);
}

TEST(UniqueCodeIds, OdometerCarriesAndPassesOverRepeatedDigits) {
    UniqueCodeIds codes(3, Sequence({1}));  // every draw is "111"
    EXPECT_EQ(codes.Give("9981"), "998");
    EXPECT_EQ(codes.Give("1110"), "111");
    EXPECT_EQ(codes.Give("9982"), "112");
    UniqueCodeIds wrap(3, Sequence({3, 333}));  // every draw is "999"
    EXPECT_EQ(wrap.Give("9990"), "999");
    EXPECT_EQ(wrap.Give("9991"), "001");  // 999 -> 000 (one digit) -> 001
}

// A thousand users shortened to 3 digits fill every code: ten keep codes
// of one repeated digit as their first digits, the others all start with
// "123" and need the odometer once the draws fail.
TEST(UniqueCodeIds, AThousandUsersFillThreeDigits) {
    UniqueCodeIds codes(3, Sequence({1}));
    std::set<QString> given;
    for (int d = 0; d < 10; ++d) given.insert(*codes.Give(QString(4, QChar(u'0' + d))));
    for (int i = 0; i < 990; ++i) {
        auto code = codes.Give("1234");
        ASSERT_TRUE(code) << i;
        ASSERT_EQ(code->size(), 3);
        ASSERT_TRUE(given.insert(*code).second) << code->toStdString();
    }
    EXPECT_EQ(given.size(), 1000u);
    EXPECT_EQ(codes.OdometerSearches(), 989);
    EXPECT_FALSE(codes.Give("5678"));
}

TEST(UniqueCodeIds, RunsOutWhenOnlyRepeatedDigitsAreLeft) {
    UniqueCodeIds codes(2, Sequence({1}));
    std::set<QString> given;
    for (int i = 0; i < 91; ++i) given.insert(codes.Give("123").value_or("none"));
    EXPECT_EQ(given.size(), 91u);
    EXPECT_EQ(given.count("none"), 0u);
    EXPECT_FALSE(codes.Give("123"));
}

class ConversionTest : public FacilityTest {
  protected:
    void SetUp() override { NewFacility(); }

    ConversionContext Context(RandomNumber random) {
        return {doc, sheetPrompter, std::move(random), kToday};
    }
    void SetCodes(const QString& sqlValue) {
        Sql(doc.Db(),
            "UPDATE Users SET \"Lock ID code\" = " + sqlValue + " WHERE \"User Key\" > 1");
    }
    void Generate(int users) {
        GeneratorOptions options;
        options.users = users;
        options.locks = 1;
        options.enrolments = 0;
        options.auditRows = 0;
        GenerateFacilityData(doc.Db(), options);
    }
    qint64 UsersWithCodeLength(int length) {
        return IntOf(doc.Db(), QStringLiteral("SELECT count(*) FROM Users WHERE length(\"Lock ID "
                                              "code\") = %1")
                                   .arg(length));
    }

    IconPrompter sheetPrompter;
};

TEST_F(ConversionTest, CodeIdLengthLimitsAndNothingToConvert) {
    for (auto [from, to] : {std::pair{4, 3}, std::pair{11, 6}}) {
        EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), from, to), ConversionResult::Failed);
    }
    EXPECT_EQ(sheetPrompter.Shown(), QStringList(2, "Invalid Code ID Length -- Can Not Continue"));
    sheetPrompter.Clear();
    AddUser(doc.Db(), "123456789", "123", 0, 1, true);  // a card number is no code ID
    EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), 4, 6), ConversionResult::NothingToConvert);
    AddUser(doc.Db(), "1234", "123");
    EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), 5, 5), ConversionResult::NothingToConvert);
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());
}

TEST_F(ConversionTest, ShorteningKeepsUniqueFirstDigits) {
    const int a = AddUser(doc.Db(), "123456", "123");
    const int b = AddUser(doc.Db(), "123499", "123");  // "1234" is taken by then
    const int c = AddUser(doc.Db(), "555512", "123");
    const int removed = AddUser(doc.Db(), "987654", "123", 0, 0);
    const int card = AddUser(doc.Db(), "12345678", "123", 0, 1, true);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(ConvertCodeIdLength(Context(Sequence({7, 11})), 6, 4), ConversionResult::Converted);
    EXPECT_EQ(UserText(doc.Db(), a, "Lock ID code"), "1234");
    EXPECT_EQ(UserText(doc.Db(), b, "Lock ID code"), "7777");
    EXPECT_EQ(UserText(doc.Db(), c, "Lock ID code"), "5555");
    EXPECT_EQ(UserText(doc.Db(), removed, "Lock ID code"), "9876");
    EXPECT_EQ(UserText(doc.Db(), card, "Lock ID code"), "12345678");
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList{"Extreme Caution:  The Code ID for 4 users will be\npermanently modified "
                          "from 6 digits to 4 digits.\nAre you sure you want to continue?"});
    EXPECT_EQ(sheetPrompter.icons, std::vector{PromptIcon::Exclamation});
    EXPECT_EQ(sheetPrompter.ProgressTexts(),
              QStringList({"", "Converting 4 users code ID from 6 to 4 digits...",
                           "Posting 4 new code ID to facility..."}));
    EXPECT_EQ(UserValue(doc.Db(), card, "Revision Counter"), 1);
    EXPECT_EQ(UserValue(doc.Db(), removed, "Revision Counter"), 2);
}

TEST_F(ConversionTest, PostingMarksCurrentEnrolmentsAndTheirLocks) {
    const int held = AddLock(doc.Db(), 1, 0);
    const int waiting = AddLock(doc.Db(), 1, 0);
    const int leaving = AddLock(doc.Db(), 1, 0);
    const int enrolled = AddUser(doc.Db(), "1234", "123");
    const int alone = AddUser(doc.Db(), "5678", "123");
    Enrol(doc.Db(), held, enrolled, 1);
    Enrol(doc.Db(), waiting, enrolled, 2);
    Enrol(doc.Db(), leaving, enrolled, 4);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(ConvertCodeIdLength(Context(Sequence({5, 7})), 4, 6), ConversionResult::Converted);
    EXPECT_EQ(UserText(doc.Db(), enrolled, "Lock ID code"), "123435");
    EXPECT_EQ(EnrolmentState(doc.Db(), held, enrolled), 3);
    EXPECT_EQ(EnrolmentState(doc.Db(), waiting, enrolled), 2);
    EXPECT_EQ(EnrolmentState(doc.Db(), leaving, enrolled), 4);
    EXPECT_EQ(UserValue(doc.Db(), enrolled, "Pending Action Counter"), 3);
    EXPECT_EQ(UserValue(doc.Db(), enrolled, "Record State"), 3);
    EXPECT_EQ(UserValue(doc.Db(), enrolled, "Revision Counter"), 2);
    EXPECT_EQ(MarksOf(doc.Db(), held), (LockMarks{2, 0, 1}));
    EXPECT_EQ(MarksOf(doc.Db(), waiting), (LockMarks{0, 0, 1}));
    EXPECT_EQ(UserValue(doc.Db(), alone, "Record State"), 1);
    EXPECT_EQ(UserValue(doc.Db(), alone, "Revision Counter"), 2);
    EXPECT_EQ(UserValue(doc.Db(), alone, "Pending Action Counter"), 0);
}

TEST_F(ConversionTest, NewCodeIdsGiveAutocodeUsersTheirNewPins) {
    Sql(doc.Db(), QStringLiteral("UPDATE \"User Groups\" SET \"Autocode Enabled\" = 1, "
                                 "\"Autocode Interval\" = 7, \"Autocode Interval Type\" = 0, "
                                 "PINDate = %1 WHERE \"Group Key\" = 1")
                      .arg(static_cast<std::int16_t>(protocol::PackDate(2026, 3, 22))));
    const int user = AddUser(doc.Db(), "1234", "000", 1);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(ConvertCodeIdLength(Context(Sequence({5, 7})), 4, 6), ConversionResult::Converted);
    const auto code =
        static_cast<std::uint16_t>(IntOf(doc.Db(), "SELECT CommCode FROM FacilityProperties"));
    EXPECT_EQ(UserText(doc.Db(), user, "CurPIN"),
              AutocodePin(code, "123435", protocol::PackDate(2026, 3, 22), 3));
    EXPECT_EQ(UserText(doc.Db(), user, "NextPIN"),
              AutocodePin(code, "123435", protocol::PackDate(2026, 3, 29), 3));
}

TEST_F(ConversionTest, TooManyUsersForTheLengthAreRefusedFirst) {
    Sql(doc.Db(), "UPDATE FacilityProperties SET IDCodeLength = 5");
    Generate(10001);
    EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), 5, 4), ConversionResult::Failed);
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList{"A code ID length of 4 digits is insufficient for the\n10001 users "
                          "that have code ID assigned -- do the math."});
    EXPECT_EQ(sheetPrompter.icons, std::vector{PromptIcon::Exclamation});
    EXPECT_EQ(UsersWithCodeLength(5), 10001);
}

TEST_F(ConversionTest, MoreThanHalfTheCodesAsksForALongerLength) {
    Generate(5001);
    SetCodes("printf('%04d7', \"User Key\")");  // distinct first four digits
    const QString before = Snapshot(doc.Db());
    const QString recommend = QStringLiteral(
        "There are currently 5001 users enrolled in the facility\nwith code ID assigned.  For "
        "security, if these ID are\nto be used without requiring an additional PIN, a\nminimum "
        "code ID length of 5 digits is recommended.\nContinue?");
    const QString caution = QStringLiteral(
        "Extreme Caution:  The Code ID for 5001 users will be\npermanently modified from 5 "
        "digits to 4 digits.\nAre you sure you want to continue?");
    sheetPrompter.Answer(PromptAnswer::No);
    EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), 5, 4), ConversionResult::Failed);
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::No);
    EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), 5, 4), ConversionResult::Failed);
    EXPECT_EQ(sheetPrompter.Shown(), QStringList({recommend, recommend, caution}));
    EXPECT_EQ(sheetPrompter.icons.front(), PromptIcon::Information);
    EXPECT_EQ(Snapshot(doc.Db()), before);
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    dao::Transaction transaction(doc.Db());  // as the save runs it: one write at the end
    EXPECT_EQ(ConvertCodeIdLength(Context(NoRandom()), 5, 4), ConversionResult::Converted);
    transaction.Commit();
    EXPECT_EQ(IntOf(doc.Db(),
                    "SELECT count(DISTINCT \"Lock ID code\") FROM Users WHERE "
                    "length(\"Lock ID code\") = 4"),
              5001);
}

// 9,990 users keep distinct first digits; ten more collide, and once one of
// them took the only code left ("1111", a draw) the odometer finds nothing.
TEST_F(ConversionTest, NoCodeLeftStopsTheConversion) {
    Generate(10000);
    Sql(doc.Db(), "UPDATE Users SET \"Lock ID code\" = '12340' WHERE \"User Key\" > 1");
    {
        dao::Transaction transaction(doc.Db());
        dao::sqlite::Statement set(doc.Db().Connection().Handle(),
                                   "UPDATE Users SET \"Lock ID code\" = ? WHERE \"User Key\" = ?");
        int key = 2;
        for (int value = 0; value < 10000; ++value) {
            if (value % 1111 == 0) continue;
            set.Reset();
            set.BindText(1, QStringLiteral("%1").arg(value, 4, 10, QLatin1Char('0')) + "0");
            set.BindInt(2, key++);
            set.Run();
        }
        transaction.Commit();
    }
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    EXPECT_EQ(ConvertCodeIdLength(Context(Sequence({1})), 5, 4), ConversionResult::Failed);
    EXPECT_EQ(sheetPrompter.Shown().back(), "Unable To Generate Unique ID -- Can Not Continue");
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
    EXPECT_EQ(UsersWithCodeLength(5), 10000);
}

TEST_F(ConversionTest, AUserGoneBeforePostingFailsTheConversion) {
    AddUser(doc.Db(), "1234", "123");
    const int gone = AddUser(doc.Db(), "5678", "123");
    sheetPrompter.Answer(PromptAnswer::Yes);
    bool deleted = false;
    auto random = [&]() -> unsigned {
        if (!deleted)
            Sql(doc.Db(), QStringLiteral("DELETE FROM Users WHERE \"User Key\" = %1").arg(gone));
        deleted = true;
        return 9;
    };
    EXPECT_EQ(ConvertCodeIdLength(Context(random), 4, 5), ConversionResult::Failed);
    EXPECT_EQ(sheetPrompter.Shown().back(), "Error updating facility -- can not continue.");
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
}

class PinConversionTest : public ConversionTest {
  protected:
    void SetUp() override {
        ConversionTest::SetUp();
        Sql(doc.Db(), QStringLiteral("UPDATE \"User Groups\" SET \"Autocode Enabled\" = 1, "
                                     "\"Autocode Interval\" = 7, \"Autocode Interval Type\" = 0, "
                                     "PINDate = %1 WHERE \"Group Key\" = 1")
                          .arg(static_cast<std::int16_t>(protocol::PackDate(2026, 3, 22))));
    }
    void SetPinLength(int length) {
        Sql(doc.Db(), QStringLiteral("UPDATE FacilityProperties SET PINLength = %1").arg(length));
    }
};

TEST_F(PinConversionTest, TypedPinsAreMarkedAutocodePinsAreNot) {
    const int typedLock = AddLock(doc.Db(), 1, 0);
    const int autoLock = AddLock(doc.Db(), 1, 0);
    const int typed = AddUser(doc.Db(), "1111", "123");
    const int generated = AddUser(doc.Db(), "4321", "000", 1);
    const int leaving = AddUser(doc.Db(), "2222", "555", 0, 4);
    const int removed = AddUser(doc.Db(), "3333", "999", 0, 0);
    Enrol(doc.Db(), typedLock, typed, 1);
    Enrol(doc.Db(), autoLock, generated, 1);
    SetPinLength(5);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(ConvertPinLength(Context(Sequence({4, 5})), 3, 5), ConversionResult::Converted);
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList{"Extreme Caution:  The PINs for 3 users will be\npermanently modified "
                          "from 3 digits to 5 digits.\nAre you sure you want to continue?"});
    EXPECT_EQ(sheetPrompter.ProgressTexts(),
              QStringList({"", "Converting 3 users PIN from 3 to 5 digits..."}));

    EXPECT_EQ(UserText(doc.Db(), typed, "CurPIN"), "12320");
    EXPECT_EQ(UserText(doc.Db(), typed, "NextPIN"), "12320");
    EXPECT_EQ(UserValue(doc.Db(), typed, "Record State"), 3);
    EXPECT_EQ(UserValue(doc.Db(), typed, "Revision Counter"), 2);
    EXPECT_EQ(UserValue(doc.Db(), typed, "Pending Action Counter"), 1);
    EXPECT_EQ(EnrolmentState(doc.Db(), typedLock, typed), 3);
    EXPECT_EQ(MarksOf(doc.Db(), typedLock), (LockMarks{2, 0, 1}));

    const auto code =
        static_cast<std::uint16_t>(IntOf(doc.Db(), "SELECT CommCode FROM FacilityProperties"));
    EXPECT_EQ(UserText(doc.Db(), generated, "CurPIN"),
              AutocodePin(code, "4321", protocol::PackDate(2026, 3, 22), 5));
    EXPECT_EQ(UserValue(doc.Db(), generated, "Record State"), 1);
    EXPECT_EQ(UserValue(doc.Db(), generated, "Revision Counter"), 1);
    EXPECT_EQ(EnrolmentState(doc.Db(), autoLock, generated), 1);
    EXPECT_EQ(MarksOf(doc.Db(), autoLock), (LockMarks{0, 0, 1}));

    EXPECT_EQ(UserText(doc.Db(), leaving, "CurPIN"), "55520");
    EXPECT_EQ(UserValue(doc.Db(), leaving, "Record State"), 4);
    EXPECT_EQ(UserText(doc.Db(), removed, "CurPIN"), "999");
}

TEST_F(PinConversionTest, ShorterPinsKeepTheirFirstDigits) {
    const int typed = AddUser(doc.Db(), "1111", "12345");
    const int generated = AddUser(doc.Db(), "4321", "00000", 1);
    SetPinLength(4);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(ConvertPinLength(Context(NoRandom()), 5, 4), ConversionResult::Converted);
    EXPECT_EQ(UserText(doc.Db(), typed, "CurPIN"), "1234");
    const auto code =
        static_cast<std::uint16_t>(IntOf(doc.Db(), "SELECT CommCode FROM FacilityProperties"));
    EXPECT_EQ(UserText(doc.Db(), generated, "CurPIN"),
              AutocodePin(code, "4321", protocol::PackDate(2026, 3, 22), 4));
}

TEST_F(PinConversionTest, DeclinedEmptyAndFailedConversions) {
    AddUser(doc.Db(), "1111", "123");
    const QString before = Snapshot(doc.Db());
    sheetPrompter.Answer(PromptAnswer::No);
    EXPECT_EQ(ConvertPinLength(Context(NoRandom()), 3, 4), ConversionResult::Failed);
    EXPECT_EQ(Snapshot(doc.Db()), before);

    FailUpdatesOf(doc.Db(), "Users", "NEW.CurPIN <> OLD.CurPIN");
    sheetPrompter.Clear();
    sheetPrompter.Answer(PromptAnswer::Yes);
    EXPECT_EQ(ConvertPinLength(Context(Sequence({2})), 3, 4), ConversionResult::Failed);
    EXPECT_EQ(sheetPrompter.Shown().back(), "injected");
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);

    Sql(doc.Db(), "DELETE FROM Users WHERE \"User Key\" > 1");
    sheetPrompter.Clear();
    sheetPrompter.Answer(PromptAnswer::Yes);
    EXPECT_EQ(ConvertPinLength(Context(NoRandom()), 3, 4), ConversionResult::NothingToConvert);
    EXPECT_TRUE(sheetPrompter.Shown().front().startsWith("Extreme Caution:  The PINs for 0 users"));
}

TEST_F(PinConversionTest, MemoryFailureIsReported) {
    AddUser(doc.Db(), "1111", "123");
    sheetPrompter.Answer(PromptAnswer::Yes);
    auto random = []() -> unsigned { throw std::bad_alloc(); };
    EXPECT_EQ(ConvertPinLength(Context(random), 3, 4), ConversionResult::Failed);
    EXPECT_EQ(sheetPrompter.Shown().back(), "Memory Exception Error -- Can Not Continue");
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Stop);
}

}  // namespace
}  // namespace tandrel::testing
