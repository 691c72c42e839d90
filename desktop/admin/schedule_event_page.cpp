#include <algorithm>

#include "desktop/admin/schedule_event_pages.h"
#include "desktop/admin/schedule_texts.h"

namespace tandrel {

void CScheduleEventPage::Load(const std::vector<ScheduleEvent>& events) {
    events_.clear();
    for (const ScheduleEvent& e : events) {
        if (std::find(groups_.begin(), groups_.end(), e.group) != groups_.end())
            events_[KeyOf(e)] = e;
    }
}

std::vector<ScheduleEvent> CScheduleEventPage::Events() const {
    std::vector<ScheduleEvent> all;
    all.reserve(events_.size());
    for (const auto& [key, e] : events_) all.push_back(e);
    return all;
}

std::vector<ScheduleEvent> CScheduleEventPage::EventsOf(int group, int day) const {
    std::vector<ScheduleEvent> events;
    for (auto it = events_.lower_bound({group, day, 0});
         it != events_.end() && std::get<0>(it->first) == group && std::get<1>(it->first) == day;
         ++it) {
        events.push_back(it->second);
    }
    return events;
}

const ScheduleEvent* CScheduleEventPage::Find(const ScheduleNode& node) const {
    if (node.kind != ScheduleNode::Kind::Event) return nullptr;
    auto it = events_.find({node.group, node.day, node.hour * 60 + node.minute});
    return it == events_.end() ? nullptr : &it->second;
}

bool CScheduleEventPage::OnPage(const ScheduleNode& node) const {
    using Kind = ScheduleNode::Kind;
    if (node.kind == Kind::Root) return true;
    const bool known = std::find(groups_.begin(), groups_.end(), node.group) != groups_.end();
    if (!known) return false;
    if (node.kind == Kind::Group) return node.group != kMasterGroup;
    return node.day >= 0 && node.day < kDaysPerWeek;
}

bool CScheduleEventPage::HasEvents(int group, int day) const {
    return !EventsOf(group, day).empty();
}

std::optional<ScheduleNode> CScheduleEventPage::NewEventDay(const ScheduleNode& selected) {
    using Kind = ScheduleNode::Kind;
    if ((selected.kind == Kind::Day || selected.kind == Kind::Event) && OnPage(selected))
        return ScheduleNode::Day(selected.day, selected.group);
    prompter_.Message(texts::kSelectDayFirst, PromptIcon::Information);
    return std::nullopt;
}

const ScheduleEvent* CScheduleEventPage::EventToEdit(const ScheduleNode& node) {
    const ScheduleEvent* event = OnPage(node) ? Find(node) : nullptr;
    if (!event) prompter_.Message(texts::kCouldNotModifyEvent, PromptIcon::Exclamation);
    return event;
}

EntryOutcome CScheduleEventPage::Place(const ScheduleEvent& event, const ScheduleEvent* editing) {
    const Key key = KeyOf(event);
    const bool taken = events_.count(key) > 0 && (!editing || KeyOf(*editing) != key);
    if (taken) {
        prompter_.Message(texts::EventAlreadyScheduled(EventTimeText(event.hour, event.minute)),
                          PromptIcon::Exclamation);
        return EntryOutcome::Refused;
    }
    if (editing) {
        const ScheduleEvent before = *editing;
        if (before.IsMaster() && KeyOf(before) != key &&
            prompter_.Ask(texts::ReplaceEventQuestion(EventText(before), EventText(event))) !=
                PromptAnswer::Yes) {
            return EntryOutcome::Refused;
        }
        events_.erase(KeyOf(before));
    }
    events_[key] = event;
    changed_ = true;
    return EntryOutcome::Accepted;
}

bool CScheduleEventPage::Delete(const ScheduleNode& node) {
    using Kind = ScheduleNode::Kind;
    if (!OnPage(node) || (node.kind == Kind::Event && !Find(node))) return false;
    if (prompter_.Ask(DeleteQuestion(node)) != PromptAnswer::Yes) return false;
    std::erase_if(events_, [&node](const auto& entry) {
        const ScheduleEvent& e = entry.second;
        switch (node.kind) {
            case Kind::Root: return true;
            case Kind::Group: return e.group == node.group;
            case Kind::Day: return e.group == node.group && e.day == node.day;
            case Kind::Event: return ScheduleNode::Of(e) == node;
        }
        return false;
    });
    changed_ = true;
    return true;
}

void CScheduleEventPage::EraseDay(int group, int day) {
    for (const ScheduleEvent& e : EventsOf(group, day)) events_.erase(KeyOf(e));
}

void CScheduleEventPage::ReplaceDay(int group, int day, int fromGroup, int fromDay) {
    if (group == fromGroup && day == fromDay) return;
    const std::vector<ScheduleEvent> source = EventsOf(fromGroup, fromDay);
    EraseDay(group, day);
    for (const ScheduleEvent& e : source) CopyEventTo(e, group, day);
}

void CScheduleEventPage::CopyEventTo(const ScheduleEvent& event, int group, int day) {
    ScheduleEvent copy = event;
    copy.group = group;
    copy.day = day;
    events_[KeyOf(copy)] = copy;
}

}  // namespace tandrel
