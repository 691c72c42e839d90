// "&Copy" and "&Paste" of the "Master" and "Groups" pages. The copied node
// is remembered, not its events: a paste copies what the node holds then.
#include "desktop/admin/schedule_event_pages.h"

namespace tandrel {
namespace {

using Kind = ScheduleNode::Kind;

// Which sources each kind of target takes; an event takes none.
bool Pastable(Kind source, Kind target) {
    switch (target) {
        case Kind::Root:
        case Kind::Group: return source != Kind::Root;
        case Kind::Day: return source == Kind::Day || source == Kind::Event;
        case Kind::Event: return false;
    }
    return false;
}

}  // namespace

bool CScheduleEventPage::Copy(const ScheduleNode& node) {
    if (node.kind == Kind::Root || !OnPage(node)) return false;
    if (node.kind == Kind::Event && !Find(node)) return false;
    copied_ = node;
    return true;
}

bool CScheduleEventPage::CanPaste(const ScheduleNode& target) const {
    if (!copied_ || !OnPage(target) || !Pastable(copied_->kind, target.kind)) return false;
    return copied_->kind != Kind::Event || Find(*copied_) != nullptr;
}

bool CScheduleEventPage::Paste(const ScheduleNode& target) {
    if (!CanPaste(target)) return false;
    const std::optional<QString> question = PasteQuestion(*copied_, target);
    if (question && prompter_.Ask(*question) != PromptAnswer::Yes) return false;
    ApplyPaste(*copied_, target);
    changed_ = true;
    return true;
}

void CScheduleEventPage::ApplyPaste(const ScheduleNode& source, const ScheduleNode& target) {
    std::optional<ScheduleEvent> event;
    if (source.kind == Kind::Event) event = *Find(source);
    // Every day of the target's scope; the source's own day stays as it is.
    for (int group : groups_) {
        if (target.kind != Kind::Root && group != target.group) continue;
        for (int day = 0; day < kDaysPerWeek; ++day) {
            if (target.kind == Kind::Day && day != target.day) continue;
            if (source.kind == Kind::Group) {
                ReplaceDay(group, day, source.group, day);
            } else if (event) {
                CopyEventTo(*event, group, day);
            } else {
                ReplaceDay(group, day, source.group, source.day);
            }
        }
    }
}

}  // namespace tandrel
