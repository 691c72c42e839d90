#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_list.h"
#include "desktop/admin/user_list_ops.h"
#include "desktop/admin/user_type.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/cli/json_stream.h"
#include "desktop/cli/user_csv.h"

namespace tandrel::cli {
namespace {

const Option kId = {"--id", "ID", "the code ID keyed at the lock, or the card's ID"};
const Option kIdType = {"--id-type", "code|mag|prox",
                        "what the ID is: keyed, a magnetic or a proximity card"};

// What `user add` and `user edit` set: the pages of the user's sheet.
const Options kUserOptions = {
    {"--last", "NAME", "last name"},
    {"--first", "NAME", "first name"},
    {"--middle", "INITIAL", "middle initial"},
    kId,
    kIdType,
    {"--issue", "N", "card issue number"},
    {"--expires", "YYYY-MM-DD", "card expiry date; empty for none"},
    {"--type", "general|manager|programmer|service", "user type"},
    {"--rights", "N", "rights, 0 to 63 (only those the user type allows are kept)"},
    {"--pin", "PIN", "PIN"},
    {"--home-group", "1-8", "home user group"},
    {"--groups", "1,2,...", "the user groups the user is in"},
    {"--reference", "TEXT", "reference"},
    {"--contact1", "TEXT", "first contact"},
    {"--contact2", "TEXT", "second contact"},
};

int ParseChoice(const QString& text, const QStringList& words, const char* option) {
    for (int i = 0; i < words.size(); ++i) {
        if (words[i].compare(text, Qt::CaseInsensitive) == 0) return i;
    }
    throw UsageError(std::string(option) + " must be one of " + words.join('|').toStdString());
}

int GroupMaskOf(const QString& list) {
    int mask = 0;
    for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        int group = part.trimmed().toInt(&ok);
        if (!ok || group < 1 || group > 8) throw UsageError("--groups takes group numbers 1 to 8");
        mask |= 1 << (group - 1);
    }
    return mask;
}

// A card's expiry date; an empty text clears it. An unreadable date is
// refused rather than stored as none.
QDateTime ExpiryOption(const Arguments& a) {
    const QString text = a.Text("--expires");
    if (text.isEmpty()) return {};
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid()) throw UsageError("--expires must be a date, YYYY-MM-DD");
    return QDateTime(date, QTime(0, 0));
}

// Applies the options given on the command line to the sheet's pages.
void ApplyUserOptions(const Arguments& a, CLockUsersSheet& sheet) {
    UserGeneralPage& g = sheet.General();
    if (a.Has("--last")) g.lastName = a.Text("--last");
    if (a.Has("--first")) g.firstName = a.Text("--first");
    if (a.Has("--middle")) g.middleInitial = a.Text("--middle");
    if (a.Has("--id")) g.id = a.Text("--id");
    if (a.Has("--id-type"))
        g.idType = ParseChoice(a.Text("--id-type"), {"code", "mag", "prox"}, "--id-type");
    if (a.Has("--issue")) g.cardIssueNumber = a.Text("--issue");
    if (a.Has("--expires")) g.cardExpireDate = ExpiryOption(a);
    if (a.Has("--type")) {
        sheet.SetUserType(ParseChoice(a.Text("--type"),
                                      {"general", "manager", "programmer", "service"}, "--type"));
    }
    if (a.Has("--rights")) g.rights = a.Number("--rights", 0, 0, 63) & AllowedRights(g.userType);
    if (a.Has("--pin")) g.pin = a.Text("--pin");
    if (a.Has("--home-group")) sheet.Groups().homeGroup = a.Number("--home-group", 1, 1, 8) - 1;
    if (a.Has("--groups")) sheet.Groups().groupMask = GroupMaskOf(a.Text("--groups"));
    if (a.Has("--reference")) sheet.Notes().reference = a.Text("--reference");
    if (a.Has("--contact1")) sheet.Notes().contact1 = a.Text("--contact1");
    if (a.Has("--contact2")) sheet.Notes().contact2 = a.Text("--contact2");
}

std::unique_ptr<CLockUsersSheet> NewUserSheet(Context& c) {
    auto sheet = CLockUsersSheet::NewUser(c.doc, c.prompter);
    sheet->Groups().homeGroup = 0;
    return sheet;
}

int Add(Context& c) {
    if (!c.OpenFacility()) return 1;
    auto sheet = NewUserSheet(c);
    ApplyUserOptions(c.args, *sheet);
    if (!sheet->Ok()) return 1;
    c.out << sheet->UserKey() << "\n";
    return 0;
}

int Edit(Context& c) {
    if (!c.OpenFacility()) return 1;
    auto sheet = CLockUsersSheet::EditUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2)));
    if (!sheet || sheet->PendingRemoval()) return 1;
    ApplyUserOptions(c.args, *sheet);
    return sheet->Ok() ? 0 : 1;
}

// The members of a user's JSON object, given one by one to `add`.
template <typename Add>
void UserMembers(const UserListRow& row, Add&& add) {
    add("key", row.key);
    add("name", row.name);
    add("idMedia", row.idMedia);
    add("id", row.id);
    add("homeGroup", row.homeGroup);
    add("deleted", row.deleted);
    add("reference", row.reference);
    add("contact1", row.contact1);
    add("contact2", row.contact2);
}

QJsonObject UserJson(const UserListRow& row) {
    QJsonObject user;
    UserMembers(row,
                [&user](const char* key, const auto& value) { user[QLatin1String(key)] = value; });
    return user;
}

JsonObjectText UserJsonText(const UserListRow& row) {
    JsonObjectText user;
    UserMembers(row, [&user](const char* key, const auto& value) { user.Add(key, value); });
    return user;
}

// "key, name, ID media, ID, home group[, (deleted)]", tab-separated.
std::string UserLine(const UserListRow& row) {
    QStringList columns = {QString::number(row.key), row.name, row.idMedia, row.id, row.homeGroup};
    if (row.deleted) columns << QStringLiteral("(deleted)");
    return columns.join(QLatin1Char('\t')).toStdString() + "\n";
}

// Prints rows as they come: one line each, or one JSON array.
class UserPrinter {
  public:
    explicit UserPrinter(Context& c) : c_(c) {
        if (c.Json()) json_.emplace(c.out);
    }
    void operator()(const UserListRow& row) {
        if (json_) {
            json_->Add(UserJsonText(row));
        } else {
            c_.out << UserLine(row);
        }
    }
    void End() {
        if (json_) json_->End();
    }

  private:
    Context& c_;
    std::optional<JsonArrayStream> json_;
};

int List(Context& c) {
    if (!c.OpenFacility()) return 1;
    UserPrinter print(c);
    ForEachUserListRow(c.doc, [&print](const UserListRow& row) { print(row); });
    print.End();
    return 0;
}

// Users by their ID, exactly as keyed or read from the card.
int Find(Context& c) {
    std::optional<int> idType;
    if (c.args.Has("--id-type"))
        idType = ParseChoice(c.args.Text("--id-type"), {"code", "mag", "prox"}, "--id-type");
    if (!c.OpenFacility()) return 1;
    const QString id = c.args.Text("--id");
    // Nothing is printed before it is known that someone has the ID.
    std::vector<UserListRow> found;
    ForEachUserWithId(c.doc, id, idType,
                      [&found](const UserListRow& row) { found.push_back(row); });
    if (found.empty()) throw LookupError("no user has the ID '" + id.toStdString() + "'");
    UserPrinter print(c);
    for (const UserListRow& row : found) print(row);
    print.End();
    return 0;
}

int Show(Context& c) {
    if (!c.OpenFacility()) return 1;
    int key = UserKeyOf(c.doc, c.args.Word(2));
    CLockUsersRecordset u(c.doc.Db());
    u.FindByKey(key);
    QJsonObject user = UserJson(UserListRowOf(c.doc, key).value());
    user["type"] = UserTypeName(u.m_UserType);
    user["rights"] = u.m_Rights;
    user["groupMask"] = u.m_GroupMask;
    user["currentPin"] = u.m_CurPIN;
    user["nextPin"] = u.m_NextPIN;
    user["pendingActions"] = u.m_PendingActionCounter;
    QJsonArray locks;
    CLocksRecordset lock(c.doc.Db());
    for (const EnrolmentDraft& e : StoredEnrolmentsOfUser(c.doc.Db(), key)) {
        lock.FindByKey(e.lockKey);
        locks.append(QJsonObject{{"lock", e.lockKey},
                                 {"name", lock.m_Name},
                                 {"state", EnrolmentStateText(e.storedState).trimmed()},
                                 {"type", UserTypeName(TypeCodeOf(e.typeByte))}});
    }
    user["locks"] = locks;
    if (c.Json()) {
        c.out << QJsonDocument(user).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    PrintFields(c.out, user, QStringLiteral("locks"));
    for (const QJsonValue& l : locks) {
        QJsonObject o = l.toObject();
        c.out << "lock " << o["lock"].toInt() << " " << o["name"].toString().toStdString() << ": "
              << o["state"].toString().toStdString() << ", " << o["type"].toString().toStdString()
              << "\n";
    }
    return 0;
}

int Delete(Context& c) {
    if (!c.OpenFacility()) return 1;
    return DeleteUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

int Restore(Context& c) {
    if (!c.OpenFacility()) return 1;
    return RestoreUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

int Enrol(Context& c, bool remove) {
    if (!c.OpenFacility()) return 1;
    auto sheet = CLockUsersSheet::EditUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(1)));
    if (!sheet || sheet->PendingRemoval()) return 1;
    for (std::size_t i = 2; i < c.args.Words().size(); ++i) {
        const QString target = c.args.Word(i);
        bool going = true;
        if (remove) {
            going = sheet->Remove({LockKeyOf(c.doc, target)});
        } else if (const LockOrLocation t = LockOrLocationOf(c.doc, target); t.location) {
            going = sheet->EnrolLocation(t.key);
        } else {
            going = sheet->Enrol({t.key});
        }
        if (!going) return 1;
    }
    return sheet->Save() ? 0 : 1;
}

}  // namespace

void AddUserCommands(CommandTable& table) {
    table.Add({
        .name = "user",
        .verbs =
            {
                {.words = {"add"},
                 .summary = "add a user; prints its key",
                 .options = kUserOptions,
                 .run = Add},
                {.words = {"edit"},
                 .operands = "USER",
                 .summary = "change a user",
                 .options = kUserOptions,
                 .run = Edit},
                {.words = {"show"},
                 .operands = "USER",
                 .summary = "a user's properties and the locks the user is enrolled in",
                 .run = Show},
                {.words = {"list"},
                 .summary = "every user: key, name, ID media, ID, home group",
                 .run = List},
                {.words = {"find"},
                 .summary = "the users with that ID, exactly as keyed or read from the card",
                 .options = {{kId.name, kId.value, kId.help, kRequired}, kIdType},
                 .run = Find},
                {.words = {"delete"},
                 .operands = "USER",
                 .summary = "delete a user",
                 .run = Delete},
                {.words = {"restore"},
                 .operands = "USER",
                 .summary = "restore a deleted user",
                 .run = Restore},
                {.words = {"export"},
                 .operands = "FILE",
                 .summary = "every user to a CSV file readable by its owner only",
                 .run = ExportUsers},
                {.words = {"import"},
                 .operands = "FILE",
                 .summary = "users from a CSV file: a header row of field names, Home Group 1 to 8",
                 .run = ImportUsers},
            },
        .notes = "USER: its key, its list name (\"Last, First\") or a last name only one user has.",
    });
    table.Add({
        .name = "enrol",
        .verbs = {{.operands = "USER LOCK|\\LOCATION\\...",
                   .summary = "enrol a user into locks, or into every lock of a location",
                   .run = [](Context& c) { return Enrol(c, false); }}},
    });
    table.Add({
        .name = "unenrol",
        .verbs = {{.operands = "USER LOCK...",
                   .summary = "remove a user from locks",
                   .run = [](Context& c) { return Enrol(c, true); }}},
    });
}

}  // namespace tandrel::cli
