#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/group_list.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/text_rules.h"
#include "desktop/admin/user_list.h"
#include "desktop/admin/user_list_ops.h"
#include "desktop/admin/user_type.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/cli/csv_table.h"
#include "desktop/cli/owner_only_file.h"
#include "platform/dao/error.h"

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

bool CheckAndSave(CLockUsersSheet& sheet) {
    return sheet.CheckGeneralPage() && sheet.CheckGroupsPage() && sheet.CheckNotesPage() &&
           sheet.Save();
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
    if (!CheckAndSave(*sheet)) return 1;
    c.out << sheet->UserKey() << "\n";
    return 0;
}

int Edit(Context& c) {
    c.args.RejectOthers(kUserOptions);
    if (!c.OpenFacility()) return 1;
    auto sheet = CLockUsersSheet::EditUser(c.doc, c.prompter, UserKeyOf(c.doc, c.args.Word(2)));
    if (!sheet || sheet->PendingRemoval()) return 1;
    ApplyUserOptions(c.args, *sheet);
    return CheckAndSave(*sheet) ? 0 : 1;
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

// The columns of user export and import: the Users fields a sheet edits.
// "Home Group" is the group's number, 1 to 8, as the sheets show it.
const QStringList kCsvColumns = {
    "Last Name",       "First Name",     "Middle Initial", "Lock ID code", "CardMediaType",
    "CardIssueNumber", "CardExpireDate", "User Type",      "Rights",       "Home Group",
    "Group Mask",      "CurPIN",         "Reference",      "Contact1",     "Contact2"};

// Tabs and line breaks are written as data inside quotes; no other control
// character belongs in a text file that spreadsheets and imports read.
bool CsvWritable(const QString& value) {
    for (QChar ch : value) {
        if (IsControlCharacter(ch) && ch != u'\t' && ch != u'\r' && ch != u'\n') return false;
    }
    return true;
}

// The first value no text file carries, or -1.
qsizetype UnwritableValue(const QStringList& values) {
    for (qsizetype k = 0; k < values.size(); ++k) {
        if (!CsvWritable(values[k])) return k;
    }
    return -1;
}

// A name as a message can show it, its control characters made visible.
QString Shown(QString text) {
    for (QChar& ch : text) {
        if (IsControlCharacter(ch)) ch = QChar::ReplacementCharacter;
    }
    return text;
}

QStringList ExportedValues(const CLockUsersRecordset& u) {
    return {QString::number(u.m_UserKey),
            u.m_LastName,
            u.m_FirstName,
            u.m_MiddleInitial,
            u.m_LockIDcode,
            QString::number(IdTypeOf(u)),
            u.m_CardIssueNumber,
            u.m_CardExpireDate.date().toString(Qt::ISODate),
            QString::number(u.m_UserType),
            QString::number(u.m_Rights),
            QString::number(u.m_HomeGroup + 1),
            QString::number(u.m_GroupMask),
            u.m_CurPIN,
            u.m_Reference,
            u.m_Contact1,
            u.m_Contact2};
}

QByteArray CsvText(const QStringList& values) {
    CsvRow row;
    for (const QString& v : values) row.push_back(v.toStdString());
    return QByteArray::fromStdString(CsvLine(row) + "\n");
}

// A stored value with a control character that a text file cannot carry is
// not escaped: an import would read the escape back as the name itself.
// The export is refused instead, naming the user to correct.
int Export(Context& c) {
    c.args.RejectOthers({});
    const QString path = c.args.Word(2);
    if (path.isEmpty()) throw UsageError("user export needs a file it can write");
    if (!c.OpenFacility()) return 1;
    const QStringList header = QStringList{"User Key"} + kCsvColumns;
    QByteArray text = CsvText(header);
    CLockUsersRecordset u(c.doc.Db());
    u.SetCurrentIndex("PrimaryKey");
    for (u.MoveFirst(); !u.IsEOF(); u.MoveNext()) {
        if (u.m_UserKey < 2 || u.m_RecordState == 0) continue;
        const QStringList values = ExportedValues(u);
        if (const qsizetype k = UnwritableValue(values); k >= 0) {
            const QString name = UserListName(u.m_LastName, u.m_FirstName, u.m_MiddleInitial);
            c.prompter.Message(
                QStringLiteral("user export: user %1 (%2) has a control character in '%3'; "
                               "correct it with user edit. Nothing was exported.")
                    .arg(u.m_UserKey)
                    .arg(Shown(name), header[k]),
                PromptIcon::Stop, {});
            return 1;
        }
        text += CsvText(values);
    }
    QString error;
    if (!WriteOwnerOnlyFile(path, text, &error))
        throw UsageError("user export needs a file it can write: " + error.toStdString());
    return 0;
}

// A CSV value that must be a whole number within [min, max]; `fallback`
// when the column is absent or empty. Fills `problem` when it is not.
int CsvNumber(const std::map<QString, QString>& v, const char* column, int fallback, int min,
              int max, QString& problem) {
    auto it = v.find(QString::fromLatin1(column));
    if (it == v.end() || it->second.isEmpty()) return fallback;
    bool good = false;
    const int n = it->second.trimmed().toInt(&good);
    if (problem.isEmpty() && (!good || n < min || n > max)) {
        problem = QStringLiteral("column '%1' must be a number from %2 to %3")
                      .arg(QLatin1String(column))
                      .arg(min)
                      .arg(max);
    }
    return n;
}

// Fills a new user sheet from one CSV row; the column that holds what no
// sheet control could, or empty when the row fills the sheet.
QString FillFromRow(CLockUsersSheet& sheet, const std::map<QString, QString>& v) {
    auto text = [&](const char* column) {
        auto it = v.find(QString::fromLatin1(column));
        return it == v.end() ? QString() : it->second;
    };
    QString problem;
    UserGeneralPage& g = sheet.General();
    g.lastName = text("Last Name");
    g.firstName = text("First Name");
    g.middleInitial = text("Middle Initial");
    g.id = text("Lock ID code");
    g.idType = CsvNumber(v, "CardMediaType", kIdCode, kIdCode, kIdProxCard, problem);
    g.cardIssueNumber = v.count("CardIssueNumber") ? text("CardIssueNumber") : QStringLiteral("0");
    if (!text("CardExpireDate").isEmpty()) {
        const QDate date = QDate::fromString(text("CardExpireDate").trimmed(), Qt::ISODate);
        if (!date.isValid() && problem.isEmpty())
            problem = QStringLiteral("column 'CardExpireDate' must be a date, YYYY-MM-DD");
        g.cardExpireDate = QDateTime(date, QTime(0, 0));
    }
    sheet.SetUserType(CsvNumber(v, "User Type", -1, kGeneral, kService, problem));
    g.rights = CsvNumber(v, "Rights", 0, 0, 63, problem) & AllowedRights(g.userType);
    g.pin = text("CurPIN");
    const int home = CsvNumber(v, "Home Group", 1, 1, kUserGroups, problem);
    if (problem.isEmpty()) sheet.Groups().homeGroup = *GroupKeyOfNumber(home);
    sheet.Groups().groupMask = CsvNumber(v, "Group Mask", 1, 0, 255, problem);
    sheet.Notes() = {text("Reference"), text("Contact1"), text("Contact2")};
    return problem;
}

// The values of one row by column; empty, with `problem` filled, when the
// row holds a control character (tab aside) or more fields than the header.
std::map<QString, QString> RowValues(const QStringList& header, const CsvRow& row,
                                     QString& problem) {
    std::map<QString, QString> values;
    for (std::size_t k = 0; k < row.size(); ++k) {
        const QString value = QString::fromStdString(row[k]);
        if (k >= static_cast<std::size_t>(header.size())) {
            if (value.isEmpty()) continue;
            problem = QStringLiteral("%1 fields, more than the header's %2")
                          .arg(row.size())
                          .arg(header.size());
            return {};
        }
        const QString& column = header[static_cast<qsizetype>(k)];
        if (HasControlCharacter(value)) {
            problem = QStringLiteral("column '%1' holds a control character").arg(column);
            return {};
        }
        values[column] = value;
    }
    return values;
}

QStringList ImportHeader(const CsvRow& first) {
    QStringList header;
    for (const std::string& h : first) header << QString::fromStdString(h).trimmed();
    for (const QString& h : header) {
        if (h != QLatin1String("User Key") && !kCsvColumns.contains(h)) {
            throw UsageError("user import: unknown column '" + h.toStdString() + "'");
        }
    }
    return header;
}

int Import(Context& c) {
    c.args.RejectOthers({});
    QFile file(c.args.Word(2));
    if (c.args.Word(2).isEmpty() || !file.open(QIODevice::ReadOnly)) {
        throw UsageError("user import needs a file it can read");
    }
    std::string error;
    auto rows = ParseCsv(file.readAll().toStdString(), &error);
    if (!rows) throw UsageError("user import: " + error);
    if (rows->empty()) throw UsageError("user import: the file has no header row");
    const QStringList header = ImportHeader(rows->front());
    if (!c.OpenFacility()) return 1;
    // Every row goes through the same checks as the sheet; one refused row
    // and nothing is written.
    dao::Transaction transaction(c.doc.Db());
    for (std::size_t r = 1; r < rows->size(); ++r) {
        QString problem;
        const std::map<QString, QString> values = RowValues(header, (*rows)[r], problem);
        auto sheet = NewUserSheet(c);
        if (problem.isEmpty()) problem = FillFromRow(*sheet, values);
        if (!problem.isEmpty()) {
            c.prompter.Message(QStringLiteral("user import: row %1: %2").arg(r + 1).arg(problem),
                               PromptIcon::Stop, {});
        }
        if (!problem.isEmpty() || !CheckAndSave(*sheet)) {
            c.prompter.Message(
                QStringLiteral("user import: row %1 refused; nothing was imported").arg(r + 1),
                PromptIcon::Stop, {});
            return 1;
        }
    }
    transaction.Commit();
    c.out << rows->size() - 1 << " users imported\n";
    return 0;
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
    if (verb == "import") return Import(c);
    if (verb == "export") return Export(c);
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
