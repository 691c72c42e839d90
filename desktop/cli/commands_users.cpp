#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_list.h"
#include "desktop/admin/user_list_ops.h"
#include "desktop/admin/user_type.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/cli/user_csv.h"

namespace tandrel::cli {
namespace {

const std::set<std::string> kUserOptions = {"--last",      "--first",    "--middle",     "--id",
                                            "--id-type",   "--issue",    "--expires",    "--type",
                                            "--rights",    "--pin",      "--home-group", "--groups",
                                            "--reference", "--contact1", "--contact2"};

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
    c.args.RejectOthers(kUserOptions);
    if (!c.OpenFacility()) return 1;
    auto sheet = NewUserSheet(c);
    ApplyUserOptions(c.args, *sheet);
    if (!sheet->Ok()) return 1;
    c.out << sheet->UserKey() << "\n";
    return 0;
}

int Edit(Context& c) {
    c.args.RejectOthers(kUserOptions);
    if (!c.OpenFacility()) return 1;
    auto sheet = CLockUsersSheet::EditUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2)));
    if (!sheet || sheet->PendingRemoval()) return 1;
    ApplyUserOptions(c.args, *sheet);
    return sheet->Ok() ? 0 : 1;
}

QJsonObject UserJson(const UserListRow& row) {
    return {{"key", row.key},           {"name", row.name},
            {"idMedia", row.idMedia},   {"homeGroup", row.homeGroup},
            {"deleted", row.deleted},   {"reference", row.reference},
            {"contact1", row.contact1}, {"contact2", row.contact2}};
}

int List(Context& c) {
    c.args.RejectOthers({});
    if (!c.OpenFacility()) return 1;
    QJsonArray list;
    for (const UserListRow& row : UserListRows(c.doc)) {
        if (c.Json()) {
            list.append(UserJson(row));
            continue;
        }
        c.out << row.key << "\t" << row.name.toStdString() << "\t" << row.idMedia.toStdString()
              << "\t" << row.homeGroup.toStdString() << (row.deleted ? "\t(deleted)" : "") << "\n";
    }
    if (c.Json()) c.out << QJsonDocument(list).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
}

int Show(Context& c) {
    c.args.RejectOthers({});
    if (!c.OpenFacility()) return 1;
    int key = UserKeyOf(c.doc, c.args.Word(2));
    CLockUsersRecordset u(c.doc.Db());
    u.SetCurrentIndex("PrimaryKey");
    u.Seek("=", {key});
    QJsonObject user = UserJson(UserListRowOf(c.doc, u));
    user["id"] = u.m_LockIDcode;
    user["type"] = UserTypeName(u.m_UserType);
    user["rights"] = u.m_Rights;
    user["groupMask"] = u.m_GroupMask;
    user["currentPin"] = u.m_CurPIN;
    user["nextPin"] = u.m_NextPIN;
    user["pendingActions"] = u.m_PendingActionCounter;
    QJsonArray locks;
    CLocksRecordset lock(c.doc.Db());
    lock.SetCurrentIndex("PrimaryKey");
    for (const EnrolmentDraft& e : StoredEnrolmentsOfUser(c.doc.Db(), key)) {
        lock.Seek("=", {e.lockKey});
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
    c.args.RejectOthers({});
    if (!c.OpenFacility()) return 1;
    return DeleteUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

int Restore(Context& c) {
    c.args.RejectOthers({});
    if (!c.OpenFacility()) return 1;
    return RestoreUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

int Enrol(Context& c, bool remove) {
    c.args.RejectOthers({});
    if (c.args.Words().size() < 3) throw UsageError("name the user and at least one lock");
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

int UserCommand(Context& c) {
    const QString verb = c.args.Word(1);
    if (verb == "add") return Add(c);
    if (verb == "list") return List(c);
    if (verb == "import") return ImportUsers(c);
    if (verb == "export") return ExportUsers(c);
    if (c.args.Words().size() != 3)
        throw UsageError("user " + verb.toStdString() + " needs one user");
    if (verb == "edit") return Edit(c);
    if (verb == "show") return Show(c);
    if (verb == "delete") return Delete(c);
    if (verb == "restore") return Restore(c);
    throw UsageError("unknown user command '" + verb.toStdString() + "'");
}

}  // namespace

void AddUserCommands(CommandTable& table) {
    table["user"] = {
        "user add --last L --first F --id ID --type general|manager|programmer|service\n"
        "         [--id-type code|mag|prox] [--issue N] [--expires DATE] [--rights N] [--pin P]\n"
        "         [--home-group 1-8] [--groups 1,2,...] [--middle M] [--reference R]\n"
        "         [--contact1 C] [--contact2 C]\n"
        "  user edit USER [the same options] | user show USER | user list\n"
        "  user delete USER | user restore USER\n"
        "  user export FILE | user import FILE   (CSV, a header row of field names, Home Group\n"
        "         1 to 8; the export is readable by its owner only)",
        {},
        UserCommand};
    table["enrol"] = {"enrol USER LOCK|\\LOCATION\\...   enrol a user into locks",
                      {},
                      [](Context& c) { return Enrol(c, false); }};
    table["unenrol"] = {"unenrol USER LOCK...    remove a user from locks", {}, [](Context& c) {
                            return Enrol(c, true);
                        }};
}

}  // namespace tandrel::cli
