#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/schedule_list.h"
#include "desktop/admin/time_schedule_sheet.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"

namespace tandrel::cli {
namespace {

const Option kGroup = {"--group", "N", "user group N's page (default: the master page)"};
const Option kDay = {"--day", "DAY", "the day"};
const Option kTime = {"--time", "T", "the event's time"};
const Option kLevel = {"--level", "LEVEL", "the access level from then on"};
const Option kPinRequired = {"--pin-required", kFlag, "a PIN is needed as well"};
const Option kNoOverride = {"--no-override", kFlag, "no manager override"};

const Options kEventOptions = {kGroup,
                               kDay,
                               kTime,
                               kLevel,
                               kPinRequired,
                               kNoOverride,
                               {"--allow", kFlag, "a group event that allows access"},
                               {"--deny", kFlag, "a group event that denies access"}};
// What --group, --day and --time select: an event, a day, a group or a page.
const Options kNodeOptions = {
    {"--group", "N|all", "user group N's page, or every group (default: the master page)"},
    kDay,
    kTime};
const Options kPasteOptions = {kGroup,
                               kDay,
                               kTime,
                               {"--to", "all|DAY", "paste onto that day, or onto every schedule"},
                               {"--to-group", "N|all", "paste onto group N, or onto every group"}};
const Options kHolidayOptions = {
    {"--name", "NAME", "the holiday's name"},
    {"--start", "MM/DD", "first day"},
    {"--start-time", "T", "time on the first day"},
    {"--end", "MM/DD", "last day"},
    {"--end-time", "T", "time on the last day"},
    kLevel,
    kPinRequired,
    kNoOverride,
    {"--groups", "1,2,...|all", "the user groups with access"},
    {"--daily", "DAY", "that day's schedule instead of an access level"}};

int ScheduleKeyOf(CTDXDoc& doc, const QString& name) {
    bool number = false;
    const int key = name.toInt(&number);
    CTimeSchedulesRecordset schedules(doc.Db());
    schedules.SetCurrentIndex(number ? "PrimaryKey" : "NameKey");
    if (schedules.Seek("=", {number ? QVariant(key) : QVariant(name)}))
        return schedules.m_ScheduleKey;
    throw LookupError("no time schedule named '" + name.toStdString() + "'");
}

std::unique_ptr<CTimeScheduleSheet> OpenSheet(Context& c, std::size_t word) {
    if (!c.OpenFacility()) return nullptr;
    return CTimeScheduleSheet::Open(c.doc, c.prompter, ScheduleKeyOf(c.doc, c.args.Word(word)));
}

int Finish(CTimeScheduleSheet& sheet) {
    return sheet.Ok() ? 0 : 1;
}

int Choice(const QString& text, const QStringList& words, const char* option) {
    for (int i = 0; i < words.size(); ++i) {
        if (words[i].compare(text, Qt::CaseInsensitive) == 0) return i;
    }
    throw UsageError(std::string(option) + " must be one of " + words.join('|').toStdString());
}

int DayOption(const Context& c, const char* option) {
    return Choice(c.args.Text(option), DayNames(), option);
}

int LevelOption(const Context& c) {
    return c.args.Has("--level") ? Choice(c.args.Text("--level"), LevelNames(), "--level") : -1;
}

// A user group by its number, 1 to 8; -1 for "all".
int GroupOption(const Context& c, const char* option) {
    if (c.args.Text(option) == QLatin1String("all")) return -1;
    return c.args.Number(option, 1, 1, kScheduleGroups) - 1;
}

int GroupMaskOption(const Context& c) {
    const QString list = c.args.Text("--groups");
    if (list == QLatin1String("all")) return 0xFF;
    int mask = 0;
    for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int group = part.trimmed().toInt(&ok);
        if (!ok || group < 1 || group > kScheduleGroups)
            throw UsageError("--groups takes group numbers 1 to 8, or all");
        mask |= 1 << (group - 1);
    }
    return mask;
}

// The tree item that --group and --day select: the page's root without
// them, "--group all" for the root of the Groups page.
ScheduleNode SelectedNode(const Context& c) {
    const int group = c.args.Has("--group") ? GroupOption(c, "--group") : kMasterGroup;
    if (c.args.Has("--day")) {
        if (c.args.Has("--group") && group < 0) throw UsageError("--day needs one --group");
        return ScheduleNode::Day(DayOption(c, "--day"), group);
    }
    return c.args.Has("--group") && group >= 0 ? ScheduleNode::GroupNode(group)
                                               : ScheduleNode::Root();
}

// The same, or the event at --time of that day.
ScheduleNode NodeOption(const Context& c) {
    const ScheduleNode node = SelectedNode(c);
    if (!c.args.Has("--time")) return node;
    if (node.kind != ScheduleNode::Kind::Day) throw UsageError("--time needs --day");
    const std::optional<QTime> time = ReadMasterEventTime(c.args.Text("--time"));
    if (!time) throw UsageError("--time is no time of day");
    return ScheduleNode::Event(node.day, time->hour(), time->minute(), node.group);
}

CScheduleEventPage& PageOf(CTimeScheduleSheet& sheet, const Context& c) {
    if (c.args.Has("--group")) return sheet.Groups();
    return sheet.Master();
}

EntryOutcome AddGroupEvent(const Context& c, CTimeScheduleSheet& sheet, const ScheduleNode& day) {
    GroupEventEntry entry{c.args.Text("--time"), std::nullopt};
    if (c.args.Has("--allow") || c.args.Has("--deny")) entry.allow = c.args.Has("--allow");
    return sheet.Groups().AddEvent(day, entry);
}

EntryOutcome AddMasterEvent(const Context& c, CTimeScheduleSheet& sheet, const ScheduleNode& day) {
    MasterEventEntry entry;
    if (c.args.Has("--time")) entry.time = c.args.Text("--time");
    entry.level = LevelOption(c);
    entry.pin = c.args.Has("--pin-required");
    entry.noOverride = c.args.Has("--no-override");
    return sheet.Master().AddEvent(day, entry);
}

int AddEvent(Context& c) {
    if (c.args.Has("--allow") && c.args.Has("--deny"))
        throw UsageError("--allow and --deny exclude each other");
    auto sheet = OpenSheet(c, 3);
    if (!sheet) return 1;
    std::optional<ScheduleNode> day = PageOf(*sheet, c).NewEventDay(SelectedNode(c));
    if (!day) return 1;
    const EntryOutcome outcome =
        c.args.Has("--group") ? AddGroupEvent(c, *sheet, *day) : AddMasterEvent(c, *sheet, *day);
    return outcome == EntryOutcome::Accepted ? Finish(*sheet) : 1;
}

int DeleteEvents(Context& c) {
    auto sheet = OpenSheet(c, 3);
    if (!sheet) return 1;
    const ScheduleNode node = NodeOption(c);
    CScheduleEventPage& page = PageOf(*sheet, c);
    if (node.kind == ScheduleNode::Kind::Event && !page.Find(node))
        throw LookupError("no event at that time");
    return page.Delete(node) ? Finish(*sheet) : 1;
}

ScheduleNode PasteTarget(const Context& c, const ScheduleNode& source) {
    const bool groups = source.group != kMasterGroup;
    if (!groups && c.args.Has("--to-group")) throw UsageError("--to-group needs --group");
    const QString to = c.args.Text("--to");
    if (to == QLatin1String("all")) return ScheduleNode::Root();
    const int group = c.args.Has("--to-group") ? GroupOption(c, "--to-group") : source.group;
    if (c.args.Has("--to-group") && group < 0) return ScheduleNode::Root();
    if (!c.args.Has("--to")) {
        if (!c.args.Has("--to-group")) throw UsageError("paste needs --to or --to-group");
        return ScheduleNode::GroupNode(group);
    }
    return ScheduleNode::Day(DayOption(c, "--to"), group);
}

int Paste(Context& c) {
    auto sheet = OpenSheet(c, 2);
    if (!sheet) return 1;
    const ScheduleNode source = NodeOption(c);
    CScheduleEventPage& page = PageOf(*sheet, c);
    if (!page.Copy(source)) throw UsageError("name a day, a group or an event to copy");
    const ScheduleNode target = PasteTarget(c, source);
    if (!page.CanPaste(target)) throw UsageError("that cannot be pasted there");
    return page.Paste(target) ? Finish(*sheet) : 1;
}

int AddHoliday(Context& c) {
    auto sheet = OpenSheet(c, 3);
    if (!sheet || !sheet->Holidays().CanAdd()) return 1;
    HolidayEntry entry;
    entry.name = c.args.Text("--name");
    entry.startDate = c.args.Text("--start");
    entry.startTime = c.args.Text("--start-time");
    entry.endDate = c.args.Text("--end");
    entry.endTime = c.args.Text("--end-time");
    if (c.args.Has("--daily")) {
        entry.mode = HolidayMode::DailySchedule;
        entry.day = DayOption(c, "--daily");
    }
    entry.level = LevelOption(c);
    entry.pin = c.args.Has("--pin-required");
    entry.noOverride = c.args.Has("--no-override");
    if (c.args.Has("--groups")) entry.groupMask = GroupMaskOption(c);
    if (sheet->Holidays().Add(entry) != EntryOutcome::Accepted) return 1;
    return Finish(*sheet);
}

int DeleteHoliday(Context& c, bool all) {
    auto sheet = OpenSheet(c, 3);
    if (!sheet) return 1;
    if (all) return sheet->Holidays().DeleteAll() ? Finish(*sheet) : 1;
    const int index = sheet->Holidays().IndexOf(c.args.Word(4));
    if (index < 0) throw LookupError("no holiday named '" + c.args.Words().back() + "'");
    return sheet->Holidays().Delete(index) ? Finish(*sheet) : 1;
}

int Enrol(Context& c, bool enrol) {
    auto sheet = OpenSheet(c, 2);
    if (!sheet) return 1;
    for (std::size_t i = 3; i < c.args.Words().size(); ++i) {
        const QString target = c.args.Word(i);
        EnrolmentNode node{EnrolmentNode::Kind::Root, 0};
        if (target != QLatin1String("\\")) {
            const LockOrLocation t = LockOrLocationOf(c.doc, target);
            node = {t.location ? EnrolmentNode::Kind::Location : EnrolmentNode::Kind::Lock, t.key};
        }
        enrol ? sheet->Enrollment().Enroll(node) : sheet->Enrollment().Remove(node);
    }
    return Finish(*sheet);
}

int AddSchedule(Context& c, bool copy) {
    if (!c.OpenFacility()) return 1;
    auto sheet = copy ? CTimeScheduleSheet::CopySchedule(c.doc, c.prompter,
                                                         ScheduleKeyOf(c.doc, c.args.Word(2)))
                      : CTimeScheduleSheet::NewSchedule(c.doc, c.prompter);
    if (!sheet) return 1;
    sheet->SetName(c.args.Words().size() == 4 ? c.args.Word(3) : c.args.Word(2));
    if (Finish(*sheet) != 0) return 1;
    c.out << sheet->ScheduleKey() << "\n";
    return 0;
}

int DeleteSchedule(Context& c) {
    if (!c.OpenFacility()) return 1;
    return DeleteTimeSchedule(c.doc, c.prompter, ScheduleKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

void PrintJson(Context& c, const QJsonDocument& json) {
    c.out << json.toJson(QJsonDocument::Compact).toStdString() << "\n";
}

int List(Context& c) {
    if (!c.OpenFacility()) return 1;
    QJsonArray list;
    for (const ScheduleListRow& row : ScheduleListRows(c.doc.Db())) {
        if (!c.Json()) c.out << row.key << "\t" << row.name.toStdString() << "\n";
        list.append(QJsonObject{{"key", row.key}, {"name", row.name}});
    }
    if (c.Json()) PrintJson(c, QJsonDocument(list));
    return 0;
}

QJsonArray EventsJson(CTimeScheduleSheet& sheet) {
    QJsonArray events;
    auto add = [&events](const QString& where, const ScheduleEvent& e) {
        events.append(QJsonObject{{"where", where}, {"event", EventText(e)}});
    };
    for (const ScheduleEvent& e : sheet.Master().Events()) add(DayName(e.day), e);
    for (const ScheduleEvent& e : sheet.Groups().Events())
        add(sheet.Groups().Label(e.group) + QStringLiteral(" : ") + DayName(e.day), e);
    return events;
}

QJsonObject ScheduleJson(Context& c, CTimeScheduleSheet& sheet) {
    QJsonArray holidays;
    for (const Holiday& h : sheet.Holidays().Holidays()) {
        const HolidayRow row = HolidayRowOf(h);
        holidays.append(QJsonObject{
            {"name", row.name}, {"start", row.start}, {"end", row.end}, {"access", row.access}});
    }
    QJsonArray locks;
    for (const EnrolmentLock& lock : sheet.Enrollment().Locks()) {
        if (!lock.enrolled) continue;
        const LockScheduleStatus status = LockScheduleStatusOf(c.doc.Db(), lock.key);
        locks.append(
            QJsonObject{{"lock", lock.key}, {"name", lock.name}, {"status", status.status}});
    }
    return {{"key", sheet.ScheduleKey()},
            {"name", sheet.Name()},
            {"revision", sheet.RevisionCounter()},
            {"events", EventsJson(sheet)},
            {"holidays", holidays},
            {"locks", locks}};
}

int Show(Context& c) {
    auto sheet = OpenSheet(c, 2);
    if (!sheet) return 1;
    const QJsonObject schedule = ScheduleJson(c, *sheet);
    if (c.Json()) {
        PrintJson(c, QJsonDocument(schedule));
        return 0;
    }
    c.out << "key: " << sheet->ScheduleKey() << "\nname: " << sheet->Name().toStdString()
          << "\nrevision: " << sheet->RevisionCounter() << "\n";
    for (const QJsonValue& v : schedule["events"].toArray()) {
        c.out << v["where"].toString().toStdString() << "  " << v["event"].toString().toStdString()
              << "\n";
    }
    for (const QJsonValue& v : schedule["holidays"].toArray()) {
        c.out << "holiday " << v["name"].toString().toStdString() << ": "
              << v["start"].toString().toStdString() << " - " << v["end"].toString().toStdString()
              << "  " << v["access"].toString().toStdString() << "\n";
    }
    for (const QJsonValue& v : schedule["locks"].toArray()) {
        c.out << "lock " << v["lock"].toInt() << " " << v["name"].toString().toStdString() << ": "
              << v["status"].toString().toStdString() << "\n";
    }
    return 0;
}

}  // namespace

void AddScheduleCommands(CommandTable& table) {
    table.Add({
        .name = "schedule",
        .verbs =
            {
                {.words = {"list"}, .summary = "every time schedule: key, name", .run = List},
                {.words = {"show"},
                 .operands = "S",
                 .summary = "a schedule's events, holidays and locks",
                 .run = Show},
                {.words = {"add"},
                 .operands = "NAME",
                 .summary = "add a time schedule; prints its key",
                 .run = [](Context& c) { return AddSchedule(c, false); }},
                {.words = {"copy"},
                 .operands = "S NAME",
                 .summary = "copy a time schedule; prints the copy's key",
                 .run = [](Context& c) { return AddSchedule(c, true); }},
                {.words = {"delete"},
                 .operands = "S",
                 .summary = "delete a time schedule",
                 .run = DeleteSchedule},
                {.words = {"event", "add"},
                 .operands = "S",
                 .summary = "add a master event (--day, --time, --level) or a group event "
                            "(--group, --day, --time, --allow or --deny)",
                 .options = kEventOptions,
                 .run = AddEvent},
                {.words = {"event", "delete"},
                 .operands = "S",
                 .summary = "delete an event, a day, a group or the page's whole schedule",
                 .options = kNodeOptions,
                 .run = DeleteEvents},
                {.words = {"paste"},
                 .operands = "S",
                 .summary = "copy a day or an event onto a day, a group or every schedule",
                 .options = kPasteOptions,
                 .run = Paste},
                {.words = {"holiday", "add"},
                 .operands = "S",
                 .summary = "add a holiday: its access (--level, --pin-required, --no-override, "
                            "--groups) or a day's schedule (--daily)",
                 .options = kHolidayOptions,
                 .run = AddHoliday},
                {.words = {"holiday", "delete"},
                 .operands = "S NAME",
                 .summary = "delete a holiday",
                 .run = [](Context& c) { return DeleteHoliday(c, false); }},
                {.words = {"holiday", "clear"},
                 .operands = "S",
                 .summary = "delete every holiday",
                 .run = [](Context& c) { return DeleteHoliday(c, true); }},
                {.words = {"enrol"},
                 .operands = "S LOCK|\\LOCATION\\...",
                 .summary = "give locks, or every lock of a location (\\ for all), the schedule",
                 .run = [](Context& c) { return Enrol(c, true); }},
                {.words = {"remove"},
                 .operands = "S LOCK|\\LOCATION\\...",
                 .summary = "take the schedule from locks",
                 .run = [](Context& c) { return Enrol(c, false); }},
            },
        .notes =
            "S: a time schedule's key or name. Times T: \"9:30 PM\", \"21:30\" or the short "
            "form \"9p\"\n(9:00 PM). Groups N: 1 to 8. Days: Monday to Sunday. Levels: Unlock, "
            "\"Unlock with ID\",\n\"ID Required\", \"Facility Card\", Lockout.",
    });
}

}  // namespace tandrel::cli
