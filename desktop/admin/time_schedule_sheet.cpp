#include "desktop/admin/time_schedule_sheet.h"

#include "desktop/admin/schedule_texts.h"
#include "desktop/admin/text_rules.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

std::vector<ScheduleEvent> StoredEvents(dao::Database& db, int key) {
    std::vector<ScheduleEvent> events;
    CScheduleEventsRecordset rows(db);
    rows.SetCurrentIndex(QStringLiteral("Link Index"));
    for (rows.Seek(QStringLiteral("="), {key}); rows.HasCurrent() && rows.m_SchedLink == key;
         rows.MoveNext()) {
        std::optional<ScheduleEvent> e;
        if (rows.m_Schedule == kMasterEventRow) e = UnpackMasterEvent(rows.m_Event);
        if (rows.m_Schedule == kGroupEventRow) e = UnpackGroupEvent(rows.m_Event);
        // A row the editor cannot show is dropped when the sheet is saved.
        if (e) events.push_back(*e);
    }
    return events;
}

std::vector<Holiday> StoredHolidays(dao::Database& db, int key) {
    std::vector<Holiday> holidays;
    CHolidaysRecordset rows(db);
    rows.SetCurrentIndex(QStringLiteral("Link Index"));
    for (rows.Seek(QStringLiteral("="), {key}); rows.HasCurrent() && rows.m_KeyLink == key;
         rows.MoveNext()) {
        holidays.push_back({rows.m_Name, rows.m_StartDateTime, rows.m_EndDateTime,
                            rows.m_UseSchedule, rows.m_Schedule, rows.m_Level, rows.m_GroupMask});
    }
    return holidays;
}

}  // namespace

std::unique_ptr<CTimeScheduleSheet> CTimeScheduleSheet::NewSchedule(CTDXDoc& doc,
                                                                    Prompter& prompter) {
    std::unique_ptr<CTimeScheduleSheet> sheet(new CTimeScheduleSheet(doc, prompter));
    sheet->wizard_ = true;
    sheet->name_ = texts::kNewScheduleName;
    sheet->LoadGroupLabels();
    sheet->enrollment_.Load(doc.Db(), 0);
    return sheet;
}

std::unique_ptr<CTimeScheduleSheet> CTimeScheduleSheet::CopySchedule(CTDXDoc& doc,
                                                                     Prompter& prompter,
                                                                     int sourceKey) {
    auto sheet = NewSchedule(doc, prompter);
    QString sourceName;
    int sourceRevision = 0;
    if (!sheet->ReadSchedule(sourceKey, sourceName, sourceRevision)) return nullptr;
    sheet->LoadPages(sourceKey);
    sheet->master_.SetChanged(true);
    sheet->groups_.SetChanged(true);
    sheet->holidays_.SetChanged(true);
    return sheet;
}

std::unique_ptr<CTimeScheduleSheet> CTimeScheduleSheet::Open(CTDXDoc& doc, Prompter& prompter,
                                                             int key) {
    std::unique_ptr<CTimeScheduleSheet> sheet(new CTimeScheduleSheet(doc, prompter));
    if (!sheet->ReadSchedule(key, sheet->name_, sheet->revision_)) return nullptr;
    sheet->key_ = key;
    sheet->storedName_ = sheet->name_;
    sheet->LoadGroupLabels();
    sheet->LoadPages(key);
    sheet->enrollment_.Load(doc.Db(), key);
    return sheet;
}

bool CTimeScheduleSheet::ReadSchedule(int key, QString& name, int& revision) {
    try {
        CTimeSchedulesRecordset schedules(doc_.Db());
        if (schedules.FindByKey(key)) {
            name = schedules.m_Name;
            revision = schedules.m_RevisionCounter;
            return true;
        }
    } catch (const dao::Error&) {
    }
    prompter_.Message(texts::kScheduleUnexpectedError, PromptIcon::Stop);
    return false;
}

void CTimeScheduleSheet::LoadPages(int key) {
    const std::vector<ScheduleEvent> events = StoredEvents(doc_.Db(), key);
    master_.Load(events);
    groups_.Load(events);
    holidays_.Load(StoredHolidays(doc_.Db(), key));
}

// A group without a row keeps the dialog's "<Unassigned>".
void CTimeScheduleSheet::LoadGroupLabels() {
    QStringList labels;
    CGroupsRecordset groups(doc_.Db());
    for (int g = 0; g < kScheduleGroups; ++g) {
        const bool named = groups.FindByKey(g);
        labels << GroupLabel(g, named ? groups.m_GroupName : texts::kUnassignedGroup);
    }
    groups_.SetGroupLabels(labels);
}

QString CTimeScheduleSheet::Title() const {
    return wizard_ ? texts::kNewScheduleWizard : texts::kSchedulePropertiesTitle + storedName_;
}

bool CTimeScheduleSheet::CheckInfoPage() {
    const QString name = name_.trimmed();
    if (name.isEmpty()) {
        prompter_.Message(texts::kScheduleNameNeeded, PromptIcon::Exclamation);
        return false;
    }
    if (auto problem =
            NameProblem(QStringLiteral("Time schedule name"), name, {"Time Schedule", "Name"});
        (IsNew() || name != storedName_) && problem) {
        prompter_.Message(*problem, PromptIcon::Exclamation);
        return false;
    }
    CTimeSchedulesRecordset schedules(doc_.Db());
    schedules.SetCurrentIndex(QStringLiteral("NameKey"));
    if (schedules.Seek(QStringLiteral("="), {name}) && schedules.m_ScheduleKey != key_) {
        prompter_.Message(texts::kScheduleNameInUse, PromptIcon::Exclamation);
        return false;
    }
    return true;
}

bool CTimeScheduleSheet::Changed() const {
    return name_ != storedName_ || master_.Changed() || groups_.Changed() || holidays_.Changed() ||
           enrollment_.Changed();
}

}  // namespace tandrel
