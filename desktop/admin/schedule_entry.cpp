#include "desktop/admin/schedule_entry.h"
#include "desktop/admin/page_check.h"

#include <QLocale>
#include <QRegularExpression>

namespace tandrel {
namespace {

constexpr int kMasterTimeBox = 8;

bool Fail(Prompter& prompter, const QString& message, EventField which, EventField* field) {
    return RefuseField(prompter, message, which, field, PromptIcon::Stop);
}

// "9P" -> "9:00 PM", "12 AM" -> "12:00 AM"; an empty text when the words
// are not the short form.
QString ExpandShortForm(const QString& upper) {
    static const QRegularExpression shortForm(QStringLiteral("^(1[0-2]|[1-9]) *([AP])M?$"));
    const QRegularExpressionMatch m = shortForm.match(upper);
    if (!m.hasMatch()) return {};
    return m.captured(1) + QStringLiteral(":00 ") + m.captured(2) + QLatin1Char('M');
}

}  // namespace

std::optional<QTime> ReadTimeOfDay(const QString& text) {
    QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (!t.contains(QLatin1Char(':'))) {
        const QString expanded = ExpandShortForm(t.toUpper());
        if (!expanded.isEmpty()) t = expanded;
    }
    const QLocale locale;
    for (QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QTime time = locale.toTime(t, type);
        if (time.isValid()) return QTime(time.hour(), time.minute());
    }
    static const char* const kFormats[] = {"h:mm AP",   "h:mm:ss AP", "h:mmAP",
                                           "h:mm:ssAP", "H:mm",       "H:mm:ss"};
    for (const char* format : kFormats) {
        const QTime time = QTime::fromString(t.toUpper(), QLatin1String(format));
        if (time.isValid()) return QTime(time.hour(), time.minute());
    }
    return std::nullopt;
}

std::optional<QTime> ReadMasterEventTime(const QString& text) {
    if (text.size() > kMasterTimeBox) return std::nullopt;
    return ReadTimeOfDay(text);
}

bool CheckMasterEntry(const MasterEventEntry& entry, Prompter& prompter, ScheduleEvent& event,
                      EventField* field) {
    const std::optional<QTime> time = ReadMasterEventTime(entry.time);
    if (!time) return Fail(prompter, texts::kUnrecognizedTime, EventField::Time, field);
    if (entry.level < 0 || entry.level >= kAccessLevels)
        return Fail(prompter, texts::kSelectAccessLevel, EventField::Level, field);
    event.hour = time->hour();
    event.minute = time->minute();
    event.level = entry.level;
    event.pin = entry.pin;
    event.noOverride = entry.noOverride;
    return true;
}

bool CheckGroupEntry(const GroupEventEntry& entry, Prompter& prompter, ScheduleEvent& event,
                     EventField* field) {
    const std::optional<QTime> time = ReadTimeOfDay(entry.time);
    if (!time) return Fail(prompter, texts::kUnrecognizedTime, EventField::Time, field);
    if (!entry.allow) return Fail(prompter, texts::kSelectAccessLevel, EventField::Level, field);
    event.hour = time->hour();
    event.minute = time->minute();
    event.allow = *entry.allow;
    return true;
}

MasterEventEntry MasterEntryOf(const ScheduleEvent& e) {
    return {EventTimeText(e.hour, e.minute), e.level, e.pin, e.noOverride};
}

GroupEventEntry GroupEntryOf(const ScheduleEvent& e) {
    return {EventTimeText(e.hour, e.minute), e.allow};
}

}  // namespace tandrel
