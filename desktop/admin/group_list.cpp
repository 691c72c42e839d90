#include "desktop/admin/group_list.h"

#include "desktop/admin/date_entry.h"
#include "desktop/admin/group_texts.h"
#include "desktop/admin/pin_dates.h"

namespace tandrel {
namespace {

QString NextPinDateText(const CGroupsRecordset& groups, const QDate& today) {
    if (!groups.m_AutocodeEnabled) return {};
    const QDate date = UnpackToQDate(static_cast<std::uint16_t>(groups.m_PINDate), today);
    return date.isValid() ? ShortDateText(date) : texts::kDateError;
}

}  // namespace

std::optional<int> GroupKeyOfNumber(int number) {
    if (number < 1 || number > kUserGroups) return std::nullopt;
    return number - 1;
}

QStringList GroupListHeaders() {
    return {texts::kGroupColumn, texts::kGroupNameColumn, texts::kAutoCodeColumn,
            texts::kNextPinDateColumn, texts::kReferenceColumn};
}

std::vector<GroupListRow> GroupListRows(CGroupsRecordset& groups, const QDate& today) {
    std::vector<GroupListRow> rows;
    groups.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (groups.MoveFirst(); !groups.IsEOF(); groups.MoveNext()) {
        rows.push_back({groups.m_GroupKey, QString::number(groups.m_GroupKey + 1),
                        groups.m_GroupName, groups.m_AutocodeEnabled ? texts::kYes : texts::kNo,
                        NextPinDateText(groups, today), groups.m_Reference});
    }
    return rows;
}

QStringList GroupListTexts(const GroupListRow& row) {
    return {row.group, row.name, row.autocode, row.nextPinDate, row.reference};
}

}  // namespace tandrel
