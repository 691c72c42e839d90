#include "desktop/admin/user_list.h"

#include "desktop/admin/lock_user_sheet.h"

namespace tandrel {
namespace {

QString CaptionOr(const QString& caption, const char* fallback) {
    return caption.isEmpty() ? QString::fromLatin1(fallback) : caption;
}

QString IdMediaText(const CLockUsersRecordset& u) {
    if (!u.m_CardMedia) return QStringLiteral("Code");
    return u.m_CardMediaType == kIdProxCard ? QStringLiteral("Prox Card")
                                            : QStringLiteral("Mag Card");
}

}  // namespace

QStringList UserListHeaders(CTDXDoc& doc) {
    CFacilityPropertiesRecordset& p = *doc.m_pFacilityProperties;
    p.MoveFirst();
    return {QStringLiteral(" Lock User Name"),
            QStringLiteral("ID Media"),
            QStringLiteral("Home Group"),
            CaptionOr(p.m_Contact1Name, "Contact 1"),
            CaptionOr(p.m_Contact2Name, "Contact 2"),
            CaptionOr(p.m_ReferenceName, "Reference")};
}

UserListRow UserListRowOf(CTDXDoc& doc, const CLockUsersRecordset& u) {
    CGroupsRecordset groups(doc.Db());
    groups.SetCurrentIndex("PrimaryKey");
    QString group = groups.Seek("=", {u.m_HomeGroup}) ? groups.m_GroupName : QString();
    return {u.m_UserKey,    UserListName(u.m_LastName, u.m_FirstName, u.m_MiddleInitial),
            IdMediaText(u), QStringLiteral("%1 - %2").arg(u.m_HomeGroup + 1).arg(group),
            u.m_Contact1,   u.m_Contact2,
            u.m_Reference,  u.m_RecordState == 4};
}

std::vector<UserListRow> UserListRows(CTDXDoc& doc) {
    std::vector<UserListRow> rows;
    CLockUsersRecordset users(doc.Db());
    users.SetCurrentIndex("PrimaryKey");
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
        if (users.m_RecordState != 0) rows.push_back(UserListRowOf(doc, users));
    }
    return rows;
}

ExplorerMenu ExplorerMenuFor(const FacilityDirectory& directory, int location, bool onLock) {
    ExplorerMenu menu;
    menu.newLocation = directory.Contains(location) && directory.Depth(location) <= 5;
    menu.pasteLock = directory.CanPasteLock();
    menu.lockCommands = onLock;
    return menu;
}

}  // namespace tandrel
