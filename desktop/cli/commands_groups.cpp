#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "desktop/admin/group_list.h"
#include "desktop/admin/group_texts.h"
#include "desktop/admin/user_group_sheet.h"
#include "desktop/cli/cli_context.h"

namespace tandrel::cli {
namespace {

// Columns as wide as the larger of header and content, like the list view.
void PrintTable(std::ostream& out, const QList<QStringList>& lines) {
    std::vector<qsizetype> widths;
    for (const QStringList& line : lines) {
        widths.resize(std::max<std::size_t>(widths.size(), line.size()));
        for (int i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
    }
    for (const QStringList& line : lines) {
        QString text;
        for (int i = 0; i < line.size(); ++i) text += line[i].leftJustified(widths[i] + 2);
        while (text.endsWith(QLatin1Char(' '))) text.chop(1);
        out << text.toStdString() << "\n";
    }
}

int List(Context& c) {
    if (!c.OpenFacility()) return 1;
    const auto rows = GroupListRows(*c.doc.m_pGroups, QDate::currentDate());
    if (c.Json()) {
        QJsonArray array;
        for (const GroupListRow& r : rows) {
            // Groups go by their number only: a Group Key beside it would
            // name the next group when passed to "group set".
            array.append(QJsonObject{{"group", r.group},
                                     {"name", r.name},
                                     {"autocode", r.autocode},
                                     {"nextPinDate", r.nextPinDate},
                                     {"reference", r.reference}});
        }
        c.out << QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    QList<QStringList> lines{GroupListHeaders()};
    for (const GroupListRow& r : rows) lines << GroupListTexts(r);
    PrintTable(c.out, lines);
    return 0;
}

// A group named by its number, 1 to 8 as the list shows it, or by a name
// that only one group has.
int GroupKey(Context& c, const QString& word) {
    bool number = false;
    const int n = word.toInt(&number);
    if (number) {
        if (std::optional<int> key = GroupKeyOfNumber(n)) return *key;
        throw LookupError("no user group " + word.toStdString() + ": " +
                          texts::kGroupNumbers.toStdString());
    }
    QStringList numbers;
    int found = -1;
    for (const GroupListRow& r : GroupListRows(*c.doc.m_pGroups, QDate::currentDate())) {
        if (r.name.compare(word, Qt::CaseInsensitive) != 0) continue;
        found = r.key;
        numbers << r.group;
    }
    if (numbers.size() > 1) {
        throw LookupError("more than one user group named '" + word.toStdString() + "' (" +
                          numbers.join(", ").toStdString() + "); give its number");
    }
    if (found < 0) throw LookupError("no user group '" + word.toStdString() + "'");
    return found;
}

bool OnOff(const Context& c, const std::string& option) {
    const QString word = c.args.Text(option);
    if (word != QLatin1String("on") && word != QLatin1String("off"))
        throw UsageError(option + " must be on or off");
    return word == QLatin1String("on");
}

IntervalUnit Unit(const Context& c) {
    const QString word = c.args.Text("--unit");
    if (word == QLatin1String("days")) return IntervalUnit::Days;
    if (word == QLatin1String("months")) return IntervalUnit::Months;
    throw UsageError("--unit must be days or months");
}

// The page edited in the order a person would: unit and interval first, so
// that ticking AutoCode computes the date from them, then the date.
bool Edit(Context& c, CUserGroupSheet& sheet) {
    if (c.args.Has("--name")) sheet.SetName(c.args.Text("--name"));
    if (c.args.Has("--reference")) sheet.SetReference(c.args.Text("--reference"));
    if (c.args.Has("--unit")) sheet.SetUnit(Unit(c));
    if (c.args.Has("--interval")) sheet.SetInterval(c.args.Number("--interval", 1, 0, 255));
    if (c.args.Has("--autocode") && OnOff(c, "--autocode") != sheet.Page().autocode)
        sheet.SetAutocode(OnOff(c, "--autocode"));
    if (!c.args.Has("--next-date")) return true;
    if (!sheet.AutocodeControlsEnabled()) throw UsageError("--next-date needs AutoCode on");
    sheet.SetNextPinDateText(c.args.Text("--next-date"));
    return sheet.CheckNextPinDate();
}

int Set(Context& c) {
    if (c.args.Has("--autocode")) OnOff(c, "--autocode");
    if (c.args.Has("--unit")) Unit(c);
    if (!c.OpenFacility()) return 1;
    auto sheet = CUserGroupSheet::Open(c.doc, c.prompter, GroupKey(c, c.args.Word(2)));
    if (!sheet) throw LookupError("no user group '" + c.args.Words()[2] + "'");
    return Edit(c, *sheet) && sheet->Ok() ? 0 : 1;
}

}  // namespace

void AddGroupCommands(CommandTable& table) {
    table.Add({
        .name = "group",
        .verbs =
            {
                {.words = {"list"},
                 .summary = "the user groups: number, name, AutoCode, next PIN date",
                 .run = List},
                {.words = {"set"},
                 .operands = "GROUP",
                 .summary = "edit a user group",
                 .options = {{"--name", "NAME", "the group's name"},
                             {"--reference", "TEXT", "reference"},
                             {"--autocode", "on|off", "change the group's PINs automatically"},
                             {"--interval", "N", "AutoCode interval, 0 to 255 units"},
                             {"--unit", "days|months", "unit of the interval"},
                             {"--next-date", "DATE", "the next PIN change (AutoCode on)"}},
                 .run = Set},
            },
        .notes = "GROUP: its number, 1 to 8 as the list shows it, or its name.",
    });
}

}  // namespace tandrel::cli
