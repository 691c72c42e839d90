#include "desktop/admin/user_list.h"

#include "desktop/admin/lock_user_sheet.h"
#include "desktop/data/facility_states.h"

namespace tandrel {
namespace {

QString CaptionOr(const QString& caption, const char* fallback) {
    return caption.isEmpty() ? QString::fromLatin1(fallback) : caption;
}

// A missing value reads as the recordsets read it: 0, false or empty.
constexpr const char* kSelectRows =
    "SELECT u.\"User Key\", u.\"Last Name\", u.\"First Name\", u.\"Middle Initial\", "
    "coalesce(u.\"Card Media\", 0), coalesce(u.\"CardMediaType\", 0), u.\"Lock ID code\", "
    "coalesce(u.\"Home Group\", 0), g.\"Group Name\", u.Contact1, u.Contact2, u.Reference, "
    "coalesce(u.\"Record State\", 0) FROM Users AS u LEFT JOIN \"User Groups\" AS g ON "
    "g.\"Group Key\" = coalesce(u.\"Home Group\", 0) ";
// Every user but the removed ones is listed.
std::string Listed() {
    return "coalesce(u.\"Record State\", 0) <> " + std::to_string(kUserRemoved);
}
constexpr const char* kIdTypeOf =
    "CASE WHEN coalesce(u.\"Card Media\", 0) = 0 THEN 0 WHEN u.\"CardMediaType\" = 2 THEN 2 "
    "ELSE 1 END";

int IdTypeOf(bool cardMedia, int cardMediaType) {
    if (!cardMedia) return kIdCode;
    return cardMediaType == kIdProxCard ? kIdProxCard : kIdMagCard;
}

UserListRow RowOf(const dao::sqlite::Statement& s) {
    UserListRow row;
    row.key = static_cast<int>(s.Int(0));
    row.name = UserListName(s.Text(1), s.Text(2), s.Text(3));
    row.idType = IdTypeOf(s.Int(4) != 0, static_cast<int>(s.Int(5)));
    row.idMedia = IdTypeName(row.idType);
    row.id = s.Text(6);
    row.homeGroup = QStringLiteral("%1 - %2").arg(s.Int(7) + 1).arg(s.Text(8));
    row.contact1 = s.Text(9);
    row.contact2 = s.Text(10);
    row.reference = s.Text(11);
    row.deleted = s.Int(12) == kUserPendingRemoval;
    return row;
}

// A statement of its own, so that a sink may use the facility meanwhile.
dao::sqlite::Statement Select(CTDXDoc& doc, const std::string& where) {
    return dao::sqlite::Statement(doc.Db().Connection().Handle(), kSelectRows + where);
}

void Emit(dao::sqlite::Statement& s, const UserListSink& sink) {
    while (s.Step()) sink(RowOf(s));
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

void ForEachUserListRow(CTDXDoc& doc, const UserListSink& sink) {
    dao::sqlite::Statement s = Select(doc, "WHERE " + Listed() + " ORDER BY u.\"User Key\"");
    Emit(s, sink);
}

std::vector<UserListRow> UserListRows(CTDXDoc& doc) {
    std::vector<UserListRow> rows;
    ForEachUserListRow(doc, [&rows](const UserListRow& row) { rows.push_back(row); });
    return rows;
}

void ForEachUserWithId(CTDXDoc& doc, const QString& id, std::optional<int> idType,
                       const UserListSink& sink) {
    dao::sqlite::Statement s =
        Select(doc, "WHERE u.\"Lock ID code\" = ?1 AND " + Listed() + " AND (?2 IS NULL OR " +
                        kIdTypeOf + " = ?2) ORDER BY u.\"User Key\"");
    s.BindText(1, id);
    if (idType) s.BindInt(2, *idType);
    Emit(s, sink);
}

std::optional<UserListRow> UserListRowOf(CTDXDoc& doc, int userKey) {
    dao::sqlite::Statement s = Select(doc, "WHERE u.\"User Key\" = ?1");
    s.BindInt(1, userKey);
    std::optional<UserListRow> row;
    Emit(s, [&row](const UserListRow& r) { row = r; });
    return row;
}

ExplorerMenu ExplorerMenuFor(const FacilityDirectory& directory, int location, bool onLock) {
    ExplorerMenu menu;
    menu.newLocation = directory.Contains(location) && directory.Depth(location) <= 5;
    menu.pasteLock = directory.CanPasteLock();
    menu.lockCommands = onLock;
    return menu;
}

}  // namespace tandrel
