// The page checks of the lock user property sheet.
#include "desktop/admin/lock_user_sheet.h"

#include "desktop/admin/digits.h"
#include "desktop/admin/page_check.h"
#include "desktop/admin/text_rules.h"
#include "desktop/admin/user_texts.h"

namespace tandrel {
namespace {

constexpr int kMinCardDigits = 4;
constexpr int kMaxCardDigits = 19;
constexpr int kNoCardIssueNumber = 2;

// The user list's column titles stand in for a caption the facility left
// empty.
QString CaptionOr(const QString& caption, const char* fallback) {
    return caption.trimmed().isEmpty() ? QString::fromLatin1(fallback) : caption;
}

}  // namespace

bool CLockUsersSheet::Fail(const QString& message, UserField which, UserField* field) {
    return RefuseField(prompter_, message, which, field);
}

bool CLockUsersSheet::HomeGroupHasAutocode() {
    if (groups_.homeGroup < 0) return false;
    CGroupsRecordset& groups = *doc_.m_pGroups;
    return groups.FindByKey(groups_.homeGroup) && groups.m_AutocodeEnabled;
}

bool CLockUsersSheet::IdInUse() {
    CLockUsersRecordset users(doc_.Db());
    users.SetCurrentIndex("Lock ID code");
    for (users.Seek("=", {general_.id}); users.HasCurrent() && users.m_LockIDcode == general_.id;
         users.MoveNext()) {
        if (users.m_UserKey != userKey_ && users.m_RecordState != kUserRemoved &&
            IdTypeOf(users) == general_.idType) {
            return true;
        }
    }
    return false;
}

bool CLockUsersSheet::CheckGeneralPage(UserField* field) {
    general_.lastName = general_.lastName.trimmed();
    general_.firstName = general_.firstName.trimmed();
    if (!CheckNames(field)) return false;
    CFacilityPropertiesRecordset& facility = *doc_.m_pFacilityProperties;
    facility.MoveFirst();
    if (!CheckId(facility, field)) return false;
    // The type's drop-down holds the four types; anything else is none chosen.
    if (general_.userType < kGeneral || general_.userType > kService)
        return Fail(texts::kSelectDefaultType, UserField::UserType, field);
    return HomeGroupHasAutocode() || CheckPin(facility, field);
}

// Each name is checked when it is new or changed: empty first, then what
// keeps it from being stored.
bool CLockUsersSheet::CheckNames(UserField* field) {
    const UserGeneralPage& g = general_;
    const bool isNew = IsNew();
    if ((isNew || g.lastName != storedGeneral_.lastName) && g.lastName.isEmpty()) {
        return Fail(texts::kMustEnterLastName, UserField::LastName, field);
    }
    if (!CheckName(UserField::LastName, field)) return false;
    if ((isNew || g.firstName != storedGeneral_.firstName) && g.firstName.isEmpty()) {
        return Fail(texts::kMustEnterFirstName, UserField::FirstName, field);
    }
    return CheckName(UserField::FirstName, field) && CheckName(UserField::MiddleInitial, field);
}

bool CLockUsersSheet::CheckName(UserField which, UserField* field) {
    const auto pick = [which](const UserGeneralPage& page) -> const QString& {
        if (which == UserField::LastName) return page.lastName;
        return which == UserField::FirstName ? page.firstName : page.middleInitial;
    };
    const char* column = which == UserField::LastName    ? "Last Name"
                         : which == UserField::FirstName ? "First Name"
                                                         : "Middle Initial";
    const QString& text = pick(general_);
    if (!IsNew() && text == pick(storedGeneral_)) return true;
    const auto problem = NameProblem(QLatin1String(column), text, {"Users", column});
    return !problem || Fail(*problem, which, field);
}

bool CLockUsersSheet::CheckTextsFit(UserField* field) {
    return CheckName(UserField::LastName, field) && CheckName(UserField::FirstName, field) &&
           CheckName(UserField::MiddleInitial, field) && CheckCardIssueText(field) &&
           CheckNotesPage(field);
}

bool CLockUsersSheet::CheckCardIssueText(UserField* field) {
    const QString& issue = general_.cardIssueNumber;
    if (!IsNew() && issue == storedGeneral_.cardIssueNumber) return true;
    const auto problem =
        TextProblem(QStringLiteral("Card Issue Number"), issue, {"Users", "CardIssueNumber"});
    return !problem || Fail(*problem, UserField::CardIssueNumber, field);
}

bool CLockUsersSheet::CheckId(const CFacilityPropertiesRecordset& facility, UserField* field) {
    const UserGeneralPage& g = general_;
    if (!AllDigits(g.id)) return Fail(texts::kIdNumericOnly, UserField::Id, field);
    const bool idChanged = g.id != storedGeneral_.id || g.idType != storedGeneral_.idType;
    if (IsNew() || idChanged) {
        const int length = static_cast<int>(g.id.size());
        if (g.id.isEmpty()) return Fail(texts::kMustEnterValidId, UserField::Id, field);
        if (g.idType == kIdCode && length != facility.m_IDCodeLength) {
            return Fail(texts::CodeIdLength(facility.m_IDCodeLength), UserField::Id, field);
        }
        if (g.idType != kIdCode && (length < kMinCardDigits || length > kMaxCardDigits)) {
            return Fail(texts::CardIdLength(kMinCardDigits, kMaxCardDigits), UserField::Id, field);
        }
        if (IdInUse())
            return Fail(IdTypeName(g.idType) + texts::kIdInUseSuffix, UserField::Id, field);
    }
    if (g.idType == kIdMagCard && facility.m_CardIssueIsField != kNoCardIssueNumber &&
        (g.cardIssueNumber.isEmpty() || !AllDigits(g.cardIssueNumber))) {
        return Fail(texts::kCardIssueNumber, UserField::CardIssueNumber, field);
    }
    return CheckCardIssueText(field);
}

// An empty PIN is refused only where one must be given; the length and
// digit checks are for PINs that were typed.
bool CLockUsersSheet::CheckPin(const CFacilityPropertiesRecordset& facility, UserField* field) {
    const QString& pin = general_.pin;
    if (!pin.isEmpty()) {
        if (pin.size() > facility.m_PINLength)
            return Fail(texts::kPinMustShorter, UserField::Pin, field);
        if (pin.size() < facility.m_PINLength)
            return Fail(texts::kPinMustLonger, UserField::Pin, field);
        if (!AllDigits(pin)) return Fail(texts::kPinNumericOnly, UserField::Pin, field);
    } else if (IsNew() || pin != storedGeneral_.pin) {
        return Fail(texts::kMustEnterPin, UserField::Pin, field);
    }
    return true;
}

bool CLockUsersSheet::CheckGroupsPage() {
    if (groups_.homeGroup >= 0) return true;
    prompter_.Message(texts::kSelectHomeGroup, PromptIcon::Exclamation);
    return false;
}

bool CLockUsersSheet::CheckNotesPage(UserField* field) {
    CFacilityPropertiesRecordset& facility = *doc_.m_pFacilityProperties;
    facility.MoveFirst();
    const struct {
        QString caption;
        const QString& text;
        const QString& stored;
        const char* column;
        UserField which;
    } notes[] = {
        {CaptionOr(facility.m_ReferenceName, "Reference"), notes_.reference, storedNotes_.reference,
         "Reference", UserField::Reference},
        {CaptionOr(facility.m_Contact1Name, "Contact 1"), notes_.contact1, storedNotes_.contact1,
         "Contact1", UserField::Contact1},
        {CaptionOr(facility.m_Contact2Name, "Contact 2"), notes_.contact2, storedNotes_.contact2,
         "Contact2", UserField::Contact2},
    };
    for (const auto& note : notes) {
        if (auto problem = TextProblem(note.caption, note.text, {"Users", note.column});
            (IsNew() || note.text != note.stored) && problem) {
            return Fail(*problem, note.which, field);
        }
    }
    return true;
}

}  // namespace tandrel
