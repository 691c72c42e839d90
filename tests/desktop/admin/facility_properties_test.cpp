#include <gtest/gtest.h>

#include <QFileInfo>

#include <functional>
#include <new>

#include "desktop/admin/facility_properties_sheet.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

const QDate kToday(2026, 3, 20);
const QString kDownload = QStringLiteral(
    "Warning:  The changes you have made\nwill require download to each lock\nin the facility "
    "to take affect.\n\nContinue?");

class FacilityPropertiesTest : public FacilityTest {
  protected:
    void SetUp() override { NewFacility(); }

    std::unique_ptr<CFacilityPropertiesSheet> Sheet() {
        auto sheet = CFacilityPropertiesSheet::Open(doc, sheetPrompter);
        sheet->SetToday(kToday);
        sheet->SetRandomSource(Sequence({3, 7}));
        return sheet;
    }
    qint64 Property(const QString& column) {
        return IntOf(doc.Db(), "SELECT \"" + column + "\" FROM FacilityProperties");
    }
    void Generate(int users, int locks) {
        GeneratorOptions options;
        options.users = users;
        options.locks = locks;
        options.enrolments = users;
        options.auditRows = 0;
        GenerateFacilityData(doc.Db(), options);
    }

    IconPrompter sheetPrompter;
};

TEST_F(FacilityPropertiesTest, EveryCheckShowsItsMessageAndField) {
    struct Case {
        std::function<void(NewFacilityValues&)> edit;
        QString message;
        FacilityField field;
    };
    const Case cases[] = {
        {[](auto& v) { v.idCodeLength = 3; }, "Code ID Length must be from 4 to 10 digits",
         FacilityField::IdCodeLength},
        {[](auto& v) { v.idCodeLength = 11; }, "Code ID Length must be from 4 to 10 digits",
         FacilityField::IdCodeLength},
        {[](auto& v) { v.pinLength = 2; }, "PIN Length must be from 3 to 6 digits",
         FacilityField::PinLength},
        {[](auto& v) { v.pinLength = 7; }, "PIN Length must be from 3 to 6 digits",
         FacilityField::PinLength},
        {[](auto& v) { v.facilityCode = "12a"; }, "Facility Code Must be Numeric Only",
         FacilityField::FacilityCode},
        {[](auto& v) { v.facilityCode = "12345678901"; },
         "Facility code length can not excede 10 digits", FacilityField::FacilityCode},
        {[](auto& v) { v.facilityCode = "42", v.cardFacilityPosIsField = 2; },
         "You have entered a facility code without specifying a card data position",
         FacilityField::CardFacilityPosition},
        {[](auto& v) { v.facilityCode = "42"; },  // both at character 1
         "User ID and facility code can not be in same card data position",
         FacilityField::CardFacilityPosition},
        {[](auto& v) { v.cardIDPosIsField = 255; }, "You must specify a user ID card data position",
         FacilityField::CardIdPosition},
        {[](auto& v) { v.contact1Name = ""; }, "You Must Enter a Field Name for Contact1",
         FacilityField::Contact1Name},
        {[](auto& v) { v.contact2Name = "  "; }, "You Must Enter a Field Name for Contact2",
         FacilityField::Contact2Name},
        {[](auto& v) { v.referenceName = ""; }, "You Must Enter a Field Name for Reference",
         FacilityField::ReferenceName},
    };
    for (const Case& c : cases) {
        auto sheet = Sheet();
        c.edit(sheet->Values());
        sheetPrompter.Clear();
        FacilityField field = FacilityField::Name;
        EXPECT_FALSE(sheet->Ok(&field)) << c.message;
        EXPECT_EQ(field, c.field) << c.message;
        EXPECT_EQ(sheetPrompter.Shown(), QStringList{c.message});
        EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
    }
    EXPECT_EQ(Property("Revision"), 1);

    auto sheet = Sheet();
    sheet->Values().daylightSavings = kNothingChosen;
    EXPECT_TRUE(sheet->Check());  // the page was never shown
    sheet->OpenDaylightPage();
    FacilityField field = FacilityField::Name;
    sheetPrompter.Clear();
    EXPECT_FALSE(sheet->Check(&field));
    EXPECT_EQ(field, FacilityField::DaylightSavingsType);
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"You Must Specify a Daylight Savings Type"});
}

// Values no drop-down or spin control of the sheet can hold never reach a
// lock.
TEST_F(FacilityPropertiesTest, ChoicesOutsideTheSheetsListsAreRefused) {
    const QString dstMonth =
        "Daylight savings start month must be from 0 (January) to 11 (December)";
    const QString dstWeek =
        "Daylight savings end week must be 0 (first), 1 (last), 2 (second), 3 (third) or 4 "
        "(fourth)";
    struct Case {
        std::function<void(NewFacilityValues&)> edit;
        QString message;
        FacilityField field;
    };
    const Case cases[] = {
        {[](auto& v) { v.cardTrack = 2; }, "Card track must be 0 (Track 2) or 1 (Track 3)",
         FacilityField::CardTrack},
        {[](auto& v) { v.cardIssueIsField = 3; },
         "Card issue number position must be 0 (Character), 1 (Field) or 2 (Not Used)",
         FacilityField::CardIssuePosition},
        {[](auto& v) { v.cardIDPosition = 0; }, "Card user ID position must be from 1 to 63",
         FacilityField::CardIdPosition},
        {[](auto& v) { v.cardExpirePosition = 64; },
         "Card expiration date position must be from 1 to 63", FacilityField::CardExpirePosition},
        {[](auto& v) { v.cardExpireFormat = 200; },
         "Card expiration date format must be from 0 to 13: DDMMYY, DDMMYYYY, MMDDYY, MMDDYYYY, "
         "MMYY, MMYYYY, YY, YYDDMM, YYMM, YYMMDD, YYYY, YYYYDDMM, YYYYMM, YYYYMMDD",
         FacilityField::CardExpireFormat},
        {[](auto& v) { v.cardExpireThru = 2; }, "Card expiration must be 0 (Thru) or 1 (To)",
         FacilityField::CardExpireThru},
        {[](auto& v) { v.daylightSavings = 99; }, "Daylight savings type must be 0 (off) or 1 (on)",
         FacilityField::DaylightSavingsType},
        {[](auto& v) { v.dstAheadMonth = 12, v.dstAheadDay = 0; }, dstMonth,
         FacilityField::DstAheadMonth},
        {[](auto& v) { v.dstAheadMonth = 200, v.dstAheadDay = 77; }, dstMonth,
         FacilityField::DstAheadMonth},
        {[](auto& v) { v.dstBackMonth = 9, v.dstBackDay = 5; }, dstWeek,
         FacilityField::DstBackWeek},
        {[](auto& v) { v.dstAheadMonth = 2; },
         "Daylight savings start needs both a month and a week", FacilityField::DstAheadWeek},
        {[](auto& v) { v.dstBackDay = 1; }, "Daylight savings end needs both a month and a week",
         FacilityField::DstBackMonth},
        {[](auto& v) { v.contact2Name = QString(21, 'c'); },
         "Field name for Contact2 can not be longer than 20 characters",
         FacilityField::Contact2Name},
        {[](auto& v) { v.referenceName = "Badge\nNo"; },
         "Field name for Reference can not contain tabs, line breaks or other control characters",
         FacilityField::ReferenceName},
    };
    for (const Case& c : cases) {
        auto sheet = Sheet();
        sheet->OpenDaylightPage();
        c.edit(sheet->Values());
        sheetPrompter.Clear();
        FacilityField field = FacilityField::Name;
        EXPECT_FALSE(sheet->Ok(&field)) << c.message.toStdString();
        EXPECT_EQ(field, c.field) << c.message.toStdString();
        EXPECT_EQ(sheetPrompter.Shown(), QStringList{c.message});
    }
    EXPECT_EQ(Property("Revision"), 1);

    // The ends of every list, "nothing chosen" where a drop-down allows it,
    // and a position where the item is not on the card.
    auto sheet = Sheet();
    sheet->OpenDaylightPage();
    NewFacilityValues& v = sheet->Values();
    v.cardTrack = 1;
    v.cardIDPosition = 63;
    v.cardIssueIsField = kPositionNotUsed;
    v.cardIssuePosition = 0;
    v.cardExpireFormat = 13;
    v.cardExpireThru = 1;
    v.daylightSavings = 1;
    v.dstAheadMonth = 0, v.dstAheadDay = 4;
    v.dstBackMonth = 11, v.dstBackDay = 1;
    sheetPrompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(sheet->Ok());
    EXPECT_EQ(Property("DSTBackMonth"), 11);
    v.cardTrack = kNothingChosen;
    v.dstBackMonth = v.dstBackDay = kNothingChosen;
    EXPECT_TRUE(sheet->Check());
}

TEST_F(FacilityPropertiesTest, TheNameIsAFileNameAndAChangedOneIsChecked) {
    for (const QString& name : {QString("../escape"), QString("a\\b"), QString(".."),
                                QString("Acme\tWest"), QString(33, 'n')}) {
        auto wizard = CFacilityPropertiesSheet::ForNewFacility(sheetPrompter, dir.Root());
        wizard->Values().name = name;
        FacilityField field = FacilityField::PinLength;
        EXPECT_FALSE(wizard->Ok(&field)) << name.toStdString();
        EXPECT_EQ(field, FacilityField::Name);
    }
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({"Facility name can not contain \"/\" or \"\\\"",
                           "Facility name can not contain \"/\" or \"\\\"",
                           "Facility name can not be \".\" or \"..\"",
                           "Facility name can not contain tabs, line breaks or other control "
                           "characters",
                           "Facility name can not be longer than 32 characters"}));
    auto sheet = Sheet();
    sheet->Values().name = "West/Annex";
    sheetPrompter.Clear();
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"Facility name can not contain \"/\" or \"\\\""});
    sheet->Values().name = "  ";
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown().last(), "You Must Enter a Facility Name");
    EXPECT_EQ(TextOf(doc.Db(), "SELECT Name FROM FacilityProperties"), "Acme");
}

// Whoever calls it, the document writes a new facility only inside its
// folder.
TEST_F(FacilityPropertiesTest, NewFacilityRefusesAPathAsTheLastGuard) {
    const QString outside = QFileInfo(dir.Root() + "/../escape.qfd").absoluteFilePath();
    for (const QString& name : {QString("../escape"), QString("..\\escape"), QString(".")}) {
        NewFacilityValues values;
        values.name = name;
        prompter.Clear();
        EXPECT_FALSE(doc.NewFacility(values)) << name.toStdString();
        EXPECT_EQ(prompter.Shown().size(), 1);
    }
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_FALSE(QFileInfo::exists(dir.Path("..qfd")));
    EXPECT_EQ(doc.Path(), FacilityPath());  // the open facility stays open
}

TEST_F(FacilityPropertiesTest, LimitsThemselvesAreAccepted) {
    auto sheet = Sheet();
    NewFacilityValues& v = sheet->Values();
    for (auto [id, pin] : {std::pair{4, 3}, std::pair{10, 6}}) {
        v.idCodeLength = id;
        v.pinLength = pin;
        EXPECT_TRUE(sheet->Check());
    }
    v.facilityCode = "1234567890";
    v.cardFacilityPosIsField = kFieldPosition;  // field 1 is not character 1
    EXPECT_TRUE(sheet->Check());
    v.cardFacilityPosIsField = kCharacterPosition;
    v.cardFacilityPosition = 9;
    EXPECT_TRUE(sheet->Check());
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());
}

TEST_F(FacilityPropertiesTest, WizardChecksTheNameAndTheFile) {
    auto wizard = CFacilityPropertiesSheet::ForNewFacility(sheetPrompter, dir.Root());
    EXPECT_TRUE(wizard->IsWizard());
    EXPECT_EQ(wizard->Values().idCodeLength, 4);
    EXPECT_EQ(wizard->Values().pinLength, 3);
    FacilityField field = FacilityField::PinLength;
    EXPECT_FALSE(wizard->Ok(&field));
    EXPECT_EQ(field, FacilityField::Name);
    wizard->Values().name = "Acme";  // the fixture's facility
    EXPECT_FALSE(wizard->Ok(&field));
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({"You Must Enter a Facility Name", "'Acme' Facility already exists."}));
    wizard->Values().name = "Beta";
    wizard->Values().daylightSavings = kNothingChosen;
    EXPECT_FALSE(wizard->Ok(&field));  // a wizard shows every page
    EXPECT_EQ(field, FacilityField::DaylightSavingsType);
    wizard->Values().daylightSavings = 1;
    EXPECT_TRUE(wizard->Ok());
    EXPECT_FALSE(QFileInfo::exists(dir.Path("Beta.qfd")));
}

TEST_F(FacilityPropertiesTest, CaptionOnlyChangeRaisesRevisionWithoutQuestion) {
    const int lock = AddLock(doc.Db(), 1, 0);
    auto sheet = Sheet();
    int refreshed = 0;
    sheet->SetUsersChanged([&] { ++refreshed; });
    sheet->Values().contact1Name = "Badge";
    ASSERT_TRUE(sheet->Ok());
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());
    EXPECT_EQ(Property("Revision"), 2);
    EXPECT_EQ(TextOf(doc.Db(), "SELECT Contact1Name FROM FacilityProperties"), "Badge");
    EXPECT_EQ(MarksOf(doc.Db(), lock), (LockMarks{2, 0, 3}));
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(sheet->StoredValues().contact1Name, "Badge");
}

TEST_F(FacilityPropertiesTest, NothingChangedWritesNothing) {
    AddLock(doc.Db(), 1, 0);
    const QString before = Snapshot(doc.Db());
    auto sheet = Sheet();
    int refreshed = 0;
    sheet->SetUsersChanged([&] { ++refreshed; });
    sheet->Values().dstAheadDay = 2;  // the daylight-saving page was never shown
    EXPECT_TRUE(sheet->Ok());
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_EQ(refreshed, 0);
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());
}

TEST_F(FacilityPropertiesTest, DownloadQuestionGuardsTheSaveAndMarksLocks) {
    const int current = AddLock(doc.Db(), 1, 0);
    const int pending = AddLock(doc.Db(), 1, 2);        // marked by an enrolment
    const int downloaded = AddLock(doc.Db(), 1, 0, 1);  // normalises to 2
    const int fresh = AddLock(doc.Db(), 2, 1);
    const int removed = AddLock(doc.Db(), 4, 0);
    const QString before = Snapshot(doc.Db());
    auto sheet = Sheet();
    sheet->Values().name = "Acme North";
    sheet->Values().facilityCode = "77";
    sheet->Values().cardFacilityPosition = 12;
    sheetPrompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{kDownload});
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
    EXPECT_EQ(sheetPrompter.defaults.back(), PromptAnswer::No);
    EXPECT_EQ(doc.m_pFacilityProperties->m_Name, "Acme");

    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(Property("Revision"), 2);
    EXPECT_EQ(TextOf(doc.Db(), "SELECT Name FROM FacilityProperties"), "Acme North");
    EXPECT_EQ(TextOf(doc.Db(), "SELECT FacilityCode FROM FacilityProperties"), "77");
    EXPECT_EQ(Property("CardFacilityPosition"), 12);
    EXPECT_EQ(MarksOf(doc.Db(), current), (LockMarks{2, 0, 3}));
    // Only locks above state 1 receive facility data: a lock already at 2
    // must change state too.
    EXPECT_EQ(MarksOf(doc.Db(), pending), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), downloaded), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), fresh), (LockMarks{2, 0, 2}));
    EXPECT_EQ(MarksOf(doc.Db(), removed), (LockMarks{0, 0, 4}));
}

TEST_F(FacilityPropertiesTest, DaylightValuesAreWrittenOnlyOnceTheirPageWasShown) {
    auto sheet = Sheet();
    sheet->Values().name = "Renamed";
    sheet->Values().daylightSavings = 0;
    sheet->Values().dstAheadMonth = 2;
    sheet->Values().dstAheadDay = 1;
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(Property("DaylightSavings"), 1);
    EXPECT_EQ(Property("DSTAheadMonth"), 255);
    sheet->OpenDaylightPage();
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(Property("DaylightSavings"), 0);
    EXPECT_EQ(Property("DSTAheadMonth"), 2);
    EXPECT_EQ(Property("DSTAheadDay"), 1);
    EXPECT_EQ(Property("Revision"), 3);
}

TEST_F(FacilityPropertiesTest, LengthChangesConvertPinsThenCodeIds) {
    Generate(6, 2);
    auto sheet = Sheet();
    sheet->Values().pinLength = 4;
    sheet->Values().idCodeLength = 5;
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({kDownload,
                           "Extreme Caution:  The PINs for 6 users will be\npermanently modified "
                           "from 3 digits to 4 digits.\nAre you sure you want to continue?",
                           "Extreme Caution:  The Code ID for 6 users will be\npermanently "
                           "modified from 4 digits to 5 digits.\nAre you sure you want to "
                           "continue?"}));
    EXPECT_EQ(Property("PINLength"), 4);
    EXPECT_EQ(Property("IDCodeLength"), 5);
    EXPECT_EQ(Property("Revision"), 2);
    EXPECT_EQ(IntOf(doc.Db(),
                    "SELECT count(*) FROM Users WHERE length(CurPIN) = 4 AND "
                    "length(\"Lock ID code\") = 5 AND \"Record State\" = 3"),
              6);
    // PIN and code ID each raised the revision of every user once.
    EXPECT_EQ(IntOf(doc.Db(), "SELECT min(\"Revision Counter\") FROM Users WHERE \"User Key\" > 1"),
              3);
}

TEST_F(FacilityPropertiesTest, RefusedConversionRollsEverythingBack) {
    Generate(6, 2);
    const QString before = Snapshot(doc.Db());
    auto sheet = Sheet();
    sheet->Values().pinLength = 5;
    sheet->Values().idCodeLength = 6;
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes).Answer(PromptAnswer::No);
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown().size(), 3);
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_EQ(doc.m_pFacilityProperties->m_PINLength, 3);
}

TEST_F(FacilityPropertiesTest, FailureHalfWayLeavesTheDatabaseAsItWas) {
    Generate(30, 4);
    const QString before = Snapshot(doc.Db());
    // The last lock refuses its mark, after both conversions were written.
    FailUpdatesOf(doc.Db(), "Locks", "NEW.\"Lock Key\" = 3");
    auto sheet = Sheet();
    sheet->Values().pinLength = 5;
    sheet->Values().idCodeLength = 6;
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown().back(), "injected");
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
    EXPECT_EQ(Snapshot(doc.Db()), before);
}

TEST_F(FacilityPropertiesTest, MemoryFailureInAConversionRollsBack) {
    Generate(30, 4);
    const QString before = Snapshot(doc.Db());
    auto sheet = Sheet();
    int calls = 0;
    sheet->SetRandomSource([&]() -> unsigned {
        if (++calls == 20) throw std::bad_alloc();
        return 31;
    });
    sheet->Values().idCodeLength = 8;
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown().back(), "Memory Exception Error -- Can Not Continue");
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Stop);
    EXPECT_EQ(Snapshot(doc.Db()), before);
}

}  // namespace
}  // namespace tandrel::testing
