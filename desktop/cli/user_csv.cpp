// User export and import: the CSV form of the fields a user sheet edits.
#include "desktop/cli/user_csv.h"

#include <QFile>

#include <map>

#include "desktop/admin/group_list.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/text_rules.h"
#include "desktop/admin/user_type.h"
#include "desktop/cli/csv_table.h"
#include "desktop/cli/owner_only_file.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel::cli {
namespace {

// The columns of user export and import: the Users fields a sheet edits.
// "Home Group Number" is the group's number, 1 to 8, as the sheets show it.
// Older files had "Home Group", the group's key from 0: refused by name, so
// that no user lands in the group next to the one meant.
const QStringList kCsvColumns = {
    "Last Name",       "First Name",     "Middle Initial", "Lock ID code", "CardMediaType",
    "CardIssueNumber", "CardExpireDate", "User Type",      "Rights",       "Home Group Number",
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
    const int home = CsvNumber(v, "Home Group Number", 1, 1, kUserGroups, problem);
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
        if (h == QLatin1String("Home Group")) {
            throw UsageError(
                "user import: the column 'Home Group' of older files numbered groups from 0; "
                "name it 'Home Group Number' and give the groups as 1 to 8");
        }
        if (h != QLatin1String("User Key") && !kCsvColumns.contains(h)) {
            throw UsageError("user import: unknown column '" + h.toStdString() + "'");
        }
    }
    return header;
}

}  // namespace

// A stored value with a control character that a text file cannot carry is
// not escaped: an import would read the escape back as the name itself.
// The export is refused instead, naming the user to correct.
int ExportUsers(Context& c) {
    const QString path = c.args.Word(2);
    if (path.isEmpty()) throw UsageError("user export needs a file it can write");
    if (!c.OpenFacility()) return 1;
    const QStringList header = QStringList{"User Key"} + kCsvColumns;
    QByteArray text = CsvText(header);
    CLockUsersRecordset u(c.doc.Db());
    u.SetCurrentIndex("PrimaryKey");
    for (u.MoveFirst(); !u.IsEOF(); u.MoveNext()) {
        if (u.m_UserKey < 2 || u.m_RecordState == kUserRemoved) continue;
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

int ImportUsers(Context& c) {
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
    auto progress = c.prompter.StartProgress(QStringLiteral("Importing Users"),
                                             QStringLiteral("Adding users to the facility..."),
                                             static_cast<int>(rows->size() - 1));
    for (std::size_t r = 1; r < rows->size(); ++r) {
        progress->SetPosition(static_cast<int>(r - 1));
        QString problem;
        const std::map<QString, QString> values = RowValues(header, (*rows)[r], problem);
        auto sheet = CLockUsersSheet::NewUser(c.doc, c.prompter);
        if (problem.isEmpty()) problem = FillFromRow(*sheet, values);
        if (!problem.isEmpty()) {
            c.prompter.Message(QStringLiteral("user import: row %1: %2").arg(r + 1).arg(problem),
                               PromptIcon::Stop, {});
        }
        if (!problem.isEmpty() || !sheet->Ok()) {
            c.prompter.Message(
                QStringLiteral("user import: row %1 refused; nothing was imported").arg(r + 1),
                PromptIcon::Stop, {});
            return 1;
        }
    }
    progress->SetText(QStringLiteral("Saving the users..."));
    transaction.Commit();
    progress.reset();
    c.out << rows->size() - 1 << " users imported\n";
    return 0;
}

}  // namespace tandrel::cli
