#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "desktop/admin/pin_dates.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

// The General page of "User Group Properties" as the administrator edits it.
struct GroupPage {
    QString name;
    QString reference;
    bool autocode = false;
    int interval = 1;
    IntervalUnit unit = IntervalUnit::Months;
    QString nextPinDate;  // "Ne&xt PIN Effective:" as typed or shown
};

enum class GroupField { Name, Reference, Autocode, Interval, Unit, NextPinDate };

// The "User Group Properties" sheet of one group: the page's working copy,
// what ticking AutoCode, changing the unit and editing the date do, the
// checks on leaving the page, and the save in one transaction. `today`
// stands for the current date throughout.
class CUserGroupSheet {
  public:
    // nullptr when the group is not found.
    static std::unique_ptr<CUserGroupSheet> Open(CTDXDoc& doc, Prompter& prompter, int groupKey,
                                                 const QDate& today = QDate::currentDate());

    int GroupKey() const { return key_; }
    QString GroupNumberText() const { return QString::number(key_ + 1); }
    const GroupPage& Page() const { return page_; }

    void SetName(const QString& name) { page_.name = name; }
    void SetReference(const QString& reference) { page_.reference = reference; }
    // Ticked: the next PIN date of the series from the first of this month.
    // Cleared: the date text is emptied (the stored date stays).
    void SetAutocode(bool on);
    // Interval, unit and date are editable only with AutoCode ticked.
    bool AutocodeControlsEnabled() const { return page_.autocode; }
    // The spin range becomes 1..IntervalMaximum(); an interval outside it
    // becomes 1, then the date is checked again.
    void SetUnit(IntervalUnit unit);
    int IntervalMaximum() const;
    void SetInterval(int interval) { page_.interval = interval; }
    void SetNextPinDateText(const QString& text) { page_.nextPinDate = text; }

    // The date control was left: the text must be a date in (today,
    // today + interval], else it is replaced by today + interval with a
    // warning. False (with `field`) when the text is no date at all.
    bool CheckNextPinDate(GroupField* field = nullptr);
    // Leaving the page (OK or another page): the first failed check is
    // shown and `field` names the field to focus.
    bool CheckPage(GroupField* field = nullptr);

    // Writes the group in one transaction. False when nothing was written:
    // the download question answered No, or a database error (shown). The
    // sheet stays open in both cases.
    bool Save();
    // OK: the page checks, then the save.
    bool Ok(GroupField* field = nullptr);

    // Called after a save that renamed the group, so views refresh names.
    void SetGroupNamesChanged(std::function<void()> notify) { namesChanged_ = std::move(notify); }

  private:
    CUserGroupSheet(CTDXDoc& doc, Prompter& prompter, const QDate& today)
        : doc_(doc), prompter_(prompter), today_(today) {}
    bool Load(int groupKey);
    bool IntervalValid() const;
    bool Fail(const QString& message, GroupField which, GroupField* field);
    bool WriteGroup(bool& renamed);
    bool ChangesLockData(const CGroupsRecordset& groups) const;
    void RaiseGroupTableRevision();
    void StoreGroup(CGroupsRecordset& groups) const;
    void ReloadShared();

    CTDXDoc& doc_;
    Prompter& prompter_;
    QDate today_;
    int key_ = 0;
    GroupPage page_, stored_;
    std::function<void()> namesChanged_;
};

}  // namespace tandrel
