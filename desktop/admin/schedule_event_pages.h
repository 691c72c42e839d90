#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "desktop/admin/schedule_entry.h"
#include "desktop/admin/schedule_events.h"
#include "desktop/data/prompter.h"

namespace tandrel {

// An item of the "Master" or "Groups" tree: the root, a group (Groups page
// only), a day, or an event (by its time).
struct ScheduleNode {
    enum class Kind { Root, Group, Day, Event };
    Kind kind = Kind::Root;
    int group = kMasterGroup;
    int day = -1;
    int hour = -1;
    int minute = -1;

    static ScheduleNode Root() { return {}; }
    static ScheduleNode GroupNode(int group) { return {Kind::Group, group}; }
    static ScheduleNode Day(int day, int group = kMasterGroup) { return {Kind::Day, group, day}; }
    static ScheduleNode Event(int day, int hour, int minute, int group = kMasterGroup) {
        return {Kind::Event, group, day, hour, minute};
    }
    static ScheduleNode Of(const ScheduleEvent& e) {
        return Event(e.day, e.hour, e.minute, e.group);
    }
    bool operator==(const ScheduleNode&) const = default;
};

// What the "Master" and "Groups" pages share: the page's events of the
// sheet's working copy, keyed by group, day and minute (one event per
// minute of a day), the "&New" selection rule, "&Delete" and "&Copy" /
// "&Paste" with their questions. Copies keep time, level and flags (or
// allow/deny) and take the target's day and group; a copy landing on the
// time of an existing event replaces it.
class CScheduleEventPage {
  public:
    virtual ~CScheduleEventPage() = default;

    void Load(const std::vector<ScheduleEvent>& events);
    std::vector<ScheduleEvent> Events() const;
    std::vector<ScheduleEvent> EventsOf(int group, int day) const;
    // The event an event node names, nullptr when there is none.
    const ScheduleEvent* Find(const ScheduleNode& node) const;
    // The tree's text of a node.
    virtual QString NodeText(const ScheduleNode& node) const = 0;

    // "&New": the day node the new event goes to (the selected day, or the
    // day of the selected event); nullopt, with the message, otherwise.
    std::optional<ScheduleNode> NewEventDay(const ScheduleNode& selected);
    // "&Delete" after its question; false when answered No or nothing is
    // selected.
    bool Delete(const ScheduleNode& node);
    // "&Copy" remembers a group, day or event; false for the root.
    bool Copy(const ScheduleNode& node);
    bool CanPaste(const ScheduleNode& target) const;
    // "&Paste" after its question, if the combination asks one; false when
    // Paste is disabled for the target or the question is answered No.
    bool Paste(const ScheduleNode& target);

    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }

  protected:
    CScheduleEventPage(Prompter& prompter, std::vector<int> groups)
        : prompter_(prompter), groups_(std::move(groups)) {}

    bool OnPage(const ScheduleNode& node) const;
    // Stores a checked event of a dialog: refused when another event of its
    // day already has its time. `editing` is the event being replaced; a
    // master event moved to another time is replaced only after the
    // question.
    EntryOutcome Place(const ScheduleEvent& event, const ScheduleEvent* editing);
    // The event node's event, with "Could not modify schedulued event" when
    // it is gone.
    const ScheduleEvent* EventToEdit(const ScheduleNode& node);

    virtual QString DeleteQuestion(const ScheduleNode& node) const = 0;
    // The question of pasting the copied node onto `target`, nullopt when
    // the combination asks none.
    virtual std::optional<QString> PasteQuestion(const ScheduleNode& source,
                                                 const ScheduleNode& target) const = 0;

    Prompter& prompter_;

  private:
    using Key = std::tuple<int, int, int>;  // group, day, minute of the day
    static Key KeyOf(const ScheduleEvent& e) { return {e.group, e.day, e.MinuteOfDay()}; }

    void EraseDay(int group, int day);
    void ReplaceDay(int group, int day, int fromGroup, int fromDay);
    void CopyEventTo(const ScheduleEvent& event, int group, int day);
    bool HasEvents(int group, int day) const;
    void ApplyPaste(const ScheduleNode& source, const ScheduleNode& target);

    std::vector<int> groups_;  // the groups the page shows
    std::map<Key, ScheduleEvent> events_;
    std::optional<ScheduleNode> copied_;
    bool changed_ = false;
};

// The "Master" page: the root "Master Access Level Schedule", the seven
// days, the access level events under them.
class CScheduleMasterPage : public CScheduleEventPage {
  public:
    explicit CScheduleMasterPage(Prompter& prompter)
        : CScheduleEventPage(prompter, {kMasterGroup}) {}

    QString NodeText(const ScheduleNode& node) const override;
    // OK in the "Master Schedule Event" dialog of a new event for `day`.
    EntryOutcome AddEvent(const ScheduleNode& day, const MasterEventEntry& entry,
                          EventField* field = nullptr);
    // OK in the dialog of the event `event`.
    EntryOutcome EditEvent(const ScheduleNode& event, const MasterEventEntry& entry,
                           EventField* field = nullptr);

  protected:
    QString DeleteQuestion(const ScheduleNode& node) const override;
    std::optional<QString> PasteQuestion(const ScheduleNode& source,
                                         const ScheduleNode& target) const override;
};

// The "Groups" page: the root "User Group Access Schedules", one node per
// user group ("1 - " and its name), its seven days, the group events.
class CScheduleGroupsPage : public CScheduleEventPage {
  public:
    explicit CScheduleGroupsPage(Prompter& prompter);

    // The groups' labels, "1 - Staff" .. "8 - ...".
    void SetGroupLabels(QStringList labels) { labels_ = std::move(labels); }
    QString Label(int group) const { return labels_.value(group); }
    QString NodeText(const ScheduleNode& node) const override;
    EntryOutcome AddEvent(const ScheduleNode& day, const GroupEventEntry& entry,
                          EventField* field = nullptr);
    EntryOutcome EditEvent(const ScheduleNode& event, const GroupEventEntry& entry,
                           EventField* field = nullptr);

  protected:
    QString DeleteQuestion(const ScheduleNode& node) const override;
    std::optional<QString> PasteQuestion(const ScheduleNode& source,
                                         const ScheduleNode& target) const override;

  private:
    QStringList labels_;
};

}  // namespace tandrel
