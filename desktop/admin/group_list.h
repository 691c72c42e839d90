#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "desktop/data/table_recordsets.h"

namespace tandrel {

inline constexpr int kUserGroups = 8;

// Groups are numbered 1 to 8 wherever a person reads or types them (the
// Group Key plus 1): the key of a group number, nullopt outside 1 to 8.
std::optional<int> GroupKeyOfNumber(int number);

// One row of the user group list view.
struct GroupListRow {
    int key = 0;          // Group Key
    QString group;        // the group number, key + 1
    QString name;         // User Group Name
    QString autocode;     // "Yes" / "No"
    QString nextPinDate;  // short date, "< ERROR >", or empty without AutoCode
    QString reference;
};

// " Group", "User Group Name", "AutoCode", "Next PIN Date", "Reference".
QStringList GroupListHeaders();
// The rows in primary-key order; packed dates are read as seen on `today`.
std::vector<GroupListRow> GroupListRows(CGroupsRecordset& groups, const QDate& today);
// The texts of a row in column order.
QStringList GroupListTexts(const GroupListRow& row);

}  // namespace tandrel
