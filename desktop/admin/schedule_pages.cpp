// The "Master" and "Groups" pages: their dialogs, tree texts and questions.
#include "desktop/admin/schedule_event_pages.h"
#include "desktop/admin/schedule_texts.h"

namespace tandrel {
namespace {

using Kind = ScheduleNode::Kind;

std::vector<int> AllGroups() {
    std::vector<int> groups;
    for (int g = 0; g < kScheduleGroups; ++g) groups.push_back(g);
    return groups;
}

}  // namespace

QString CScheduleMasterPage::NodeText(const ScheduleNode& node) const {
    switch (node.kind) {
        case Kind::Root: return texts::kMasterRoot;
        case Kind::Day: return DayName(node.day);
        case Kind::Event: {
            const ScheduleEvent* e = Find(node);
            return e ? EventText(*e) : QString();
        }
        case Kind::Group: break;
    }
    return {};
}

EntryOutcome CScheduleMasterPage::AddEvent(const ScheduleNode& day, const MasterEventEntry& entry,
                                           EventField* field) {
    if (day.kind != Kind::Day || !OnPage(day)) return EntryOutcome::Refused;
    ScheduleEvent event;
    event.day = day.day;
    if (!CheckMasterEntry(entry, prompter_, event, field)) return EntryOutcome::KeepOpen;
    return Place(event, nullptr);
}

EntryOutcome CScheduleMasterPage::EditEvent(const ScheduleNode& node, const MasterEventEntry& entry,
                                            EventField* field) {
    const ScheduleEvent* editing = EventToEdit(node);
    if (!editing) return EntryOutcome::Refused;
    ScheduleEvent event = *editing;
    if (!CheckMasterEntry(entry, prompter_, event, field)) return EntryOutcome::KeepOpen;
    return Place(event, editing);
}

QString CScheduleMasterPage::DeleteQuestion(const ScheduleNode& node) const {
    switch (node.kind) {
        case Kind::Event: return texts::DeleteEventQuestion(NodeText(node));
        case Kind::Day: return texts::DeleteMasterDayQuestion(DayName(node.day));
        default: return texts::kDeleteMasterQuestion;
    }
}

std::optional<QString> CScheduleMasterPage::PasteQuestion(const ScheduleNode& source,
                                                          const ScheduleNode& target) const {
    if (target.kind == Kind::Root) {
        if (source.kind == Kind::Event) return texts::CopyEventToAllDaysQuestion(NodeText(source));
        return texts::ReplaceAllDaysQuestion(DayName(source.day));
    }
    if (source.kind == Kind::Day && !EventsOf(target.group, target.day).empty())
        return texts::ReplaceDayQuestion(DayName(target.day), DayName(source.day));
    return std::nullopt;
}

CScheduleGroupsPage::CScheduleGroupsPage(Prompter& prompter)
    : CScheduleEventPage(prompter, AllGroups()) {
    for (int g = 0; g < kScheduleGroups; ++g) labels_ << GroupLabel(g, texts::kUnassignedGroup);
}

QString CScheduleGroupsPage::NodeText(const ScheduleNode& node) const {
    switch (node.kind) {
        case Kind::Root: return texts::kGroupsRoot;
        case Kind::Group: return Label(node.group);
        case Kind::Day: return DayName(node.day);
        case Kind::Event: {
            const ScheduleEvent* e = Find(node);
            return e ? EventText(*e) : QString();
        }
    }
    return {};
}

EntryOutcome CScheduleGroupsPage::AddEvent(const ScheduleNode& day, const GroupEventEntry& entry,
                                           EventField* field) {
    if (day.kind != Kind::Day || !OnPage(day)) return EntryOutcome::Refused;
    ScheduleEvent event;
    event.group = day.group;
    event.day = day.day;
    if (!CheckGroupEntry(entry, prompter_, event, field)) return EntryOutcome::KeepOpen;
    return Place(event, nullptr);
}

EntryOutcome CScheduleGroupsPage::EditEvent(const ScheduleNode& node, const GroupEventEntry& entry,
                                            EventField* field) {
    const ScheduleEvent* editing = EventToEdit(node);
    if (!editing) return EntryOutcome::Refused;
    ScheduleEvent event = *editing;
    if (!CheckGroupEntry(entry, prompter_, event, field)) return EntryOutcome::KeepOpen;
    return Place(event, editing);
}

QString CScheduleGroupsPage::DeleteQuestion(const ScheduleNode& node) const {
    switch (node.kind) {
        case Kind::Event: return texts::DeleteEventQuestion(NodeText(node));
        case Kind::Day: return texts::DeleteGroupDayQuestion(Label(node.group), DayName(node.day));
        case Kind::Group: return texts::DeleteGroupQuestion(Label(node.group));
        case Kind::Root: break;
    }
    return texts::kDeleteAllGroupsQuestion;
}

std::optional<QString> CScheduleGroupsPage::PasteQuestion(const ScheduleNode& source,
                                                          const ScheduleNode& target) const {
    const QString from = Label(source.group);
    const QString to = Label(target.group);
    const QString event = NodeText(source);
    const QString day = DayName(source.day);
    switch (target.kind) {
        case Kind::Root:
            if (source.kind == Kind::Group) return texts::ReplaceAllGroupsQuestion(from);
            if (source.kind == Kind::Day) return texts::ReplaceAllGroupDaysQuestion(from, day);
            return texts::CopyEventToAllSchedulesQuestion(event);
        case Kind::Group:
            if (source.kind == Kind::Group) return texts::ReplaceGroupQuestion(to, from);
            if (source.kind == Kind::Day) return texts::ReplaceGroupDaysQuestion(to, from, day);
            return texts::CopyEventToGroupQuestion(event, to);
        case Kind::Day:
            if (source.kind == Kind::Day && !EventsOf(target.group, target.day).empty())
                return texts::ReplaceGroupDayQuestion(to, DayName(target.day), from, day);
            return std::nullopt;
        case Kind::Event: break;
    }
    return std::nullopt;
}

}  // namespace tandrel
