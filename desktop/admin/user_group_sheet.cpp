#include "desktop/admin/user_group_sheet.h"
#include "desktop/admin/page_check.h"

#include "desktop/admin/date_entry.h"
#include "desktop/admin/group_texts.h"
#include "desktop/admin/text_rules.h"

namespace tandrel {
namespace {

constexpr int kMaxDays = 30;
constexpr int kMaxMonths = 12;

IntervalUnit UnitOf(int intervalType) {
    return intervalType == 0 ? IntervalUnit::Days : IntervalUnit::Months;
}

}  // namespace

std::unique_ptr<CUserGroupSheet> CUserGroupSheet::Open(CTDXDoc& doc, Prompter& prompter,
                                                       int groupKey, const QDate& today) {
    std::unique_ptr<CUserGroupSheet> sheet(new CUserGroupSheet(doc, prompter, today));
    if (!sheet->Load(groupKey)) return nullptr;
    return sheet;
}

bool CUserGroupSheet::Load(int groupKey) {
    CGroupsRecordset& groups = *doc_.m_pGroups;
    if (!groups.FindByKey(groupKey)) return false;
    key_ = groupKey;
    page_.name = groups.m_GroupName;
    page_.reference = groups.m_Reference;
    page_.autocode = groups.m_AutocodeEnabled;
    page_.interval = groups.m_AutocodeInterval;
    page_.unit = UnitOf(groups.m_AutocodeIntervalType);
    const QDate stored = UnpackToQDate(static_cast<std::uint16_t>(groups.m_PINDate), today_);
    if (page_.autocode && stored.isValid()) page_.nextPinDate = ShortDateText(stored);
    stored_ = page_;
    return true;
}

int CUserGroupSheet::IntervalMaximum() const {
    return page_.unit == IntervalUnit::Days ? kMaxDays : kMaxMonths;
}

bool CUserGroupSheet::IntervalValid() const {
    return page_.interval >= 1 && page_.interval <= IntervalMaximum();
}

void CUserGroupSheet::SetAutocode(bool on) {
    page_.autocode = on;
    page_.nextPinDate.clear();
    if (!on) return;
    const QDate firstOfMonth(today_.year(), today_.month(), 1);
    auto next = NextPinDate(PackQDate(firstOfMonth), page_.interval, page_.unit, today_);
    if (next) page_.nextPinDate = ShortDateText(UnpackToQDate(*next, today_));
}

void CUserGroupSheet::SetUnit(IntervalUnit unit) {
    page_.unit = unit;
    if (!IntervalValid()) page_.interval = 1;
    if (page_.autocode) CheckNextPinDate();
}

bool CUserGroupSheet::Fail(const QString& message, GroupField which, GroupField* field) {
    return RefuseField(prompter_, message, which, field);
}

bool CUserGroupSheet::CheckNextPinDate(GroupField* field) {
    const QDate entered = ParseDateEntry(page_.nextPinDate, today_);
    if (!entered.isValid()) return Fail(texts::kUnrecognizedDate, GroupField::NextPinDate, field);
    // Without a valid interval there is no range yet; leaving the page
    // reports the interval.
    if (!IntervalValid()) return true;
    const QDate latest =
        UnpackToQDate(AddInterval(PackQDate(today_), page_.interval, page_.unit), today_);
    if (entered <= today_ || entered > latest) {
        page_.nextPinDate = ShortDateText(latest);
        prompter_.Message(texts::kPinDateAdjusted, PromptIcon::Exclamation);
    }
    return true;
}

bool CUserGroupSheet::CheckPage(GroupField* field) {
    if (page_.name.trimmed().isEmpty()) {
        return Fail(texts::kMustEnterGroupName, GroupField::Name, field);
    }
    if (auto problem = NameProblem(QStringLiteral("User group name"), page_.name,
                                   {"User Groups", "Group Name"});
        page_.name != stored_.name && problem) {
        return Fail(*problem, GroupField::Name, field);
    }
    if (auto problem =
            TextProblem(QStringLiteral("Reference"), page_.reference, {"User Groups", "Reference"});
        page_.reference != stored_.reference && problem) {
        return Fail(*problem, GroupField::Reference, field);
    }
    if (!IntervalValid()) return Fail(texts::kInvalidInterval, GroupField::Interval, field);
    if (!page_.nextPinDate.isEmpty() && !ParseDateEntry(page_.nextPinDate, today_).isValid()) {
        return Fail(texts::kInvallidDate, GroupField::NextPinDate, field);
    }
    return true;
}

bool CUserGroupSheet::Ok(GroupField* field) {
    return CheckPage(field) && Save();
}

}  // namespace tandrel
