#include "desktop/admin/holidays.h"
#include "desktop/admin/page_check.h"

#include <QRegularExpression>

#include <algorithm>

#include "desktop/admin/schedule_entry.h"
#include "desktop/admin/schedule_events.h"
#include "desktop/admin/schedule_texts.h"
#include "desktop/admin/text_rules.h"

namespace tandrel {
namespace {

constexpr int kPeriodYear = 2000;

bool Fail(Prompter& prompter, const QString& message, HolidayField which, HolidayField* field) {
    return RefuseField(prompter, message, which, field, PromptIcon::Stop);
}

// "mm/dd" as a day of 2000 (a leap year, so 02/29 is a day).
QDate ReadMonthDay(const QString& text) {
    static const QRegularExpression monthDay(QStringLiteral("^(\\d{1,2}) */ *(\\d{1,2})$"));
    const QRegularExpressionMatch m = monthDay.match(text.trimmed());
    if (!m.hasMatch()) return {};
    return QDate(kPeriodYear, m.captured(1).toInt(), m.captured(2).toInt());
}

bool ReadMoment(const QString& date, const QString& time, HolidayField dateField,
                HolidayField timeField, Prompter& prompter, QDateTime& moment,
                HolidayField* field) {
    const QDate day = ReadMonthDay(date);
    if (!day.isValid()) return Fail(prompter, texts::kUnrecognizedHolidayDate, dateField, field);
    const std::optional<QTime> at = ReadTimeOfDay(time);
    if (!at) return Fail(prompter, texts::kUnrecognizedTime, timeField, field);
    moment = QDateTime(day, *at);
    return true;
}

// QDate would move 29 February to the 28th; the holiday must not change.
QDateTime IntoNextYear(const QDateTime& moment) {
    const QDate d = moment.date();
    return QDateTime(QDate(d.year() + 1, d.month(), d.day()), moment.time());
}

bool Within(const QDateTime& moment, const Holiday& h) {
    return moment >= h.start && moment <= h.end;
}

bool Meets(const Holiday& a, const Holiday& b) {
    return Within(a.start, b) || Within(a.end, b) || Within(b.start, a) || Within(b.end, a);
}

Holiday ShiftedByYears(Holiday h, int years) {
    h.start = h.start.addYears(years);
    h.end = h.end.addYears(years);
    return h;
}

QString PeriodText(const QDateTime& moment) {
    return QString::asprintf("%02d/%02d ", moment.date().month(), moment.date().day()) +
           EventTimeText(moment.time().hour(), moment.time().minute());
}

}  // namespace

bool CheckHolidayEntry(const HolidayEntry& entry, Prompter& prompter, Holiday& holiday,
                       HolidayField* field) {
    const QString name = entry.name.trimmed();
    if (name.isEmpty()) return Fail(prompter, texts::kHolidayNameNeeded, HolidayField::Name, field);
    if (auto problem = NameProblem(QStringLiteral("Holiday name"), name, {"Holidays", "Name"}))
        return Fail(prompter, *problem, HolidayField::Name, field);
    QDateTime start, end;
    if (!ReadMoment(entry.startDate, entry.startTime, HolidayField::StartDate,
                    HolidayField::StartTime, prompter, start, field) ||
        !ReadMoment(entry.endDate, entry.endTime, HolidayField::EndDate, HolidayField::EndTime,
                    prompter, end, field)) {
        return false;
    }
    if (start == end) return Fail(prompter, texts::kSamePeriodEnds, HolidayField::EndDate, field);
    if (end < start) {
        // Only a period over the new year ends in an earlier month; an end
        // earlier in the start's own month is a slip, not a year-long holiday.
        if (end.date().month() >= start.date().month())
            return Fail(prompter, texts::kHolidayEndsBeforeStart, HolidayField::EndDate, field);
        end = IntoNextYear(end);
    }
    const bool daily = entry.mode == HolidayMode::DailySchedule;
    if (!daily && (entry.level < 0 || entry.level >= kAccessLevels))
        return Fail(prompter, texts::kSelectAccessLevel, HolidayField::Level, field);
    if (daily && (entry.day < 0 || entry.day >= kDaysPerWeek))
        return Fail(prompter, texts::kSelectDailySchedule, HolidayField::Day, field);
    holiday = {name,
               start,
               end,
               daily,
               daily ? entry.day : 0,
               daily ? 0 : PackHolidayLevel(entry.level, entry.pin, entry.noOverride),
               entry.groupMask & 0xFF};
    return true;
}

HolidayEntry EntryOf(const Holiday& h) {
    HolidayEntry e;
    e.name = h.name;
    e.startDate = QString::asprintf("%02d/%02d", h.start.date().month(), h.start.date().day());
    e.startTime = EventTimeText(h.start.time().hour(), h.start.time().minute());
    e.endDate = QString::asprintf("%02d/%02d", h.end.date().month(), h.end.date().day());
    e.endTime = EventTimeText(h.end.time().hour(), h.end.time().minute());
    e.mode = h.useSchedule ? HolidayMode::DailySchedule : HolidayMode::Level;
    e.level = h.useSchedule ? -1 : (h.level & 0x1F);
    e.pin = (h.level & 0x20) != 0;
    e.noOverride = (h.level & 0x40) != 0;
    e.groupMask = h.groupMask;
    e.day = h.useSchedule ? h.day : -1;
    return e;
}

bool PeriodsOverlap(const Holiday& a, const Holiday& b) {
    return Meets(a, b) || Meets(a, ShiftedByYears(b, 1)) || Meets(a, ShiftedByYears(b, -1));
}

HolidayRow HolidayRowOf(const Holiday& h) {
    QString access;
    if (h.useSchedule) {
        access = texts::kHolidayUse + DayName(h.day) + QStringLiteral("'s");
    } else {
        access = LevelName(h.level & 0x1F);
        if (h.level & 0x20) access += texts::kHolidayPinRequired;
        if (h.level & 0x40) access += texts::kHolidayNoOverride;
    }
    return {h.name, PeriodText(h.start), PeriodText(h.end), access};
}

void CScheduleHolidayPage::Load(std::vector<Holiday> holidays) {
    holidays_ = std::move(holidays);
    Sort();
}

int CScheduleHolidayPage::IndexOf(const QString& name) const {
    for (std::size_t i = 0; i < holidays_.size(); ++i) {
        if (holidays_[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

bool CScheduleHolidayPage::CanAdd() {
    if (static_cast<int>(holidays_.size()) < kMaxHolidays) return true;
    prompter_.Message(texts::kHolidayListFull, PromptIcon::Exclamation);
    return false;
}

EntryOutcome CScheduleHolidayPage::Add(const HolidayEntry& entry, HolidayField* field) {
    if (!CanAdd()) return EntryOutcome::Refused;
    return Store(-1, entry, field);
}

EntryOutcome CScheduleHolidayPage::Edit(int index, const HolidayEntry& entry, HolidayField* field) {
    if (index < 0 || index >= static_cast<int>(holidays_.size())) return EntryOutcome::Refused;
    return Store(index, entry, field);
}

EntryOutcome CScheduleHolidayPage::Store(int index, const HolidayEntry& entry,
                                         HolidayField* field) {
    Holiday holiday;
    if (!CheckHolidayEntry(entry, prompter_, holiday, field)) return EntryOutcome::KeepOpen;
    if (Conflicts(holiday, index, field)) return EntryOutcome::KeepOpen;
    if (!holiday.end.isValid()) {
        prompter_.Message(texts::kErrorAddingHoliday, PromptIcon::Stop);
        return EntryOutcome::Refused;
    }
    if (index < 0) {
        holidays_.push_back(holiday);
    } else {
        holidays_[static_cast<std::size_t>(index)] = holiday;
    }
    Sort();
    changed_ = true;
    return EntryOutcome::Accepted;
}

bool CScheduleHolidayPage::Conflicts(const Holiday& holiday, int except, HolidayField* field) {
    for (std::size_t i = 0; i < holidays_.size(); ++i) {
        if (static_cast<int>(i) != except && holidays_[i].name == holiday.name) {
            prompter_.Message(texts::kHolidayNameInUse, PromptIcon::Exclamation);
            if (field) *field = HolidayField::Name;
            return true;
        }
    }
    // The end of a period over 29 February of 2001 is checked by the caller.
    if (!holiday.end.isValid()) return false;
    for (std::size_t i = 0; i < holidays_.size(); ++i) {
        if (static_cast<int>(i) != except && PeriodsOverlap(holiday, holidays_[i])) {
            prompter_.Message(texts::kOverlappingHolidays, PromptIcon::Exclamation);
            if (field) *field = HolidayField::StartDate;
            return true;
        }
    }
    return false;
}

bool CScheduleHolidayPage::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(holidays_.size())) return false;
    const QString question = texts::DeleteHolidayQuestion(holidays_[index].name);
    if (prompter_.Ask(question) != PromptAnswer::Yes) return false;
    holidays_.erase(holidays_.begin() + index);
    changed_ = true;
    return true;
}

bool CScheduleHolidayPage::DeleteAll() {
    if (holidays_.empty()) {
        prompter_.Message(texts::kHolidayListEmpty, PromptIcon::Information);
        return false;
    }
    if (prompter_.Ask(texts::kClearHolidaysQuestion) != PromptAnswer::Yes) return false;
    holidays_.clear();
    changed_ = true;
    return true;
}

void CScheduleHolidayPage::Sort() {
    std::stable_sort(holidays_.begin(), holidays_.end(),
                     [](const Holiday& a, const Holiday& b) { return a.start < b.start; });
}

}  // namespace tandrel
