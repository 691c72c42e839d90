#include <QRegularExpression>

#include <stdexcept>

#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

qint64 IntOf(dao::Database& db, const std::string& sql) {
    dao::sqlite::Statement s(db.Connection().Handle(), sql);
    return s.Step() ? s.Int(0) : -1;
}

class GeneratorTest : public FacilityTest {
  protected:
    void NewFacilityWith(int idLength, int pinLength) {
        prompter.Answer(PromptAnswer::No);
        NewFacilityValues values;
        values.name = "Acme";
        values.idCodeLength = idLength;
        values.pinLength = pinLength;
        ASSERT_TRUE(doc.NewFacility(values));
    }
    void Generate(int users) {
        GeneratorOptions options;
        options.users = users;
        options.locks = 2;
        options.enrolments = 0;
        options.auditRows = 0;
        GenerateFacilityData(doc.Db(), options);
    }
    // How many generated users have a column of `length` digits and nothing else.
    qint64 UsersWithDigits(const char* column, int length) {
        qint64 count = 0;
        dao::sqlite::Statement s(
            doc.Db().Connection().Handle(),
            std::string("SELECT \"") + column + "\" FROM Users WHERE \"User Key\" > 1");
        const QRegularExpression digits(QStringLiteral("^[0-9]{%1}$").arg(length));
        while (s.Step()) count += digits.match(s.Text(0)).hasMatch();
        return count;
    }
    qint64 DistinctCodeIds() {
        return IntOf(doc.Db(),
                     "SELECT count(DISTINCT \"Lock ID code\") FROM Users WHERE \"User Key\" > 1");
    }
};

TEST_F(GeneratorTest, CodeIdsAndPinsHaveTheFacilitysLengths) {
    NewFacilityWith(6, 5);
    Generate(3000);
    EXPECT_EQ(UsersWithDigits("Lock ID code", 6), 3000);
    EXPECT_EQ(UsersWithDigits("CurPIN", 5), 3000);
    EXPECT_EQ(DistinctCodeIds(), 3000);
}

TEST_F(GeneratorTest, EveryCodeOfTheLengthIsGivenOnce) {
    NewFacilityWith(4, 3);
    Generate(10000);
    EXPECT_EQ(UsersWithDigits("Lock ID code", 4), 10000);
    EXPECT_EQ(UsersWithDigits("CurPIN", 3), 10000);
    EXPECT_EQ(DistinctCodeIds(), 10000);
}

TEST_F(GeneratorTest, MoreUsersThanCodesAreRefusedWithNothingWritten) {
    NewFacilityWith(4, 3);
    EXPECT_THROW(Generate(10001), std::invalid_argument);
    EXPECT_EQ(IntOf(doc.Db(), "SELECT count(*) FROM Users"), 2);
    EXPECT_EQ(IntOf(doc.Db(), "SELECT count(*) FROM Locks"), 0);
}

// Each lock's programmer count is the number of its programmer enrolments,
// and an enrolment that follows the user's defaults carries them.
TEST_F(GeneratorTest, CountersAgreeWithTheEnrolments) {
    NewFacilityWith(4, 3);
    GeneratorOptions options;
    options.users = 50;
    options.locks = 4;
    options.enrolments = 120;
    options.auditRows = 0;
    GenerateFacilityData(doc.Db(), options);
    EXPECT_EQ(IntOf(doc.Db(), "SELECT count(*) FROM \"Users to Locks\""), 120);
    EXPECT_EQ(IntOf(doc.Db(),
                    "SELECT count(*) FROM Locks AS l WHERE PgmIDCount <> (SELECT count(*) FROM "
                    "\"Users to Locks\" AS e WHERE e.\"Lock Index\" = l.\"Lock Key\" AND "
                    "(e.\"User Type\" / 32) % 4 = 2) OR \"Enrolled User Counter\" <> (SELECT "
                    "count(*) FROM \"Users to Locks\" AS e WHERE e.\"Lock Index\" = "
                    "l.\"Lock Key\")"),
              0);
    EXPECT_EQ(IntOf(doc.Db(),
                    "SELECT count(*) FROM \"Users to Locks\" AS e JOIN Users AS u ON "
                    "u.\"User Key\" = e.\"User Index\" WHERE e.\"Use Type Defaults\" <> 0 AND "
                    "e.\"User Type\" <> u.\"User Type\" * 32 + u.Rights"),
              0);
}

}  // namespace
}  // namespace tandrel::testing
