#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

#include "desktop/admin/random_digits.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

// How a card data position is given, as the drop-downs store it; 255 is a
// drop-down with nothing chosen.
enum CardPositionKind : int { kCharacterPosition = 0, kFieldPosition = 1, kPositionNotUsed = 2 };
inline constexpr int kNothingChosen = 255;

enum class FacilityField {
    Name,
    FacilityCode,
    IdCodeLength,
    PinLength,
    CardFacilityPosition,
    CardIdPosition,
    CardIssuePosition,
    CardExpirePosition,
    CardTrack,
    CardExpireFormat,
    CardExpireThru,
    Contact1Name,
    Contact2Name,
    ReferenceName,
    DaylightSavingsType,
    DstAheadMonth,
    DstAheadWeek,
    DstBackMonth,
    DstBackWeek,
};

// The facility property sheet (general, card data and daylight-saving
// pages) over a working copy of the FacilityProperties values: the checks
// made on OK and, for an open facility, the save in one transaction with
// the code ID and PIN length conversions. As the "New Facility Wizard" it
// only checks; CTDXDoc::NewFacility creates the facility from Values().
class CFacilityPropertiesSheet {
  public:
    // The properties of the open facility.
    static std::unique_ptr<CFacilityPropertiesSheet> Open(CTDXDoc& doc, Prompter& prompter);
    // The wizard; a facility's file is `facilitiesFolder`/name.qfd.
    static std::unique_ptr<CFacilityPropertiesSheet> ForNewFacility(
        Prompter& prompter, const QString& facilitiesFolder);

    bool IsWizard() const { return doc_ == nullptr; }
    NewFacilityValues& Values() { return values_; }
    const NewFacilityValues& StoredValues() const { return stored_; }

    // The daylight-saving page was shown: its values are checked and saved.
    void OpenDaylightPage() { daylightOpened_ = true; }
    bool DaylightPageOpened() const { return daylightOpened_; }

    // The checks made on OK, in order; the first failure is shown and
    // `field` names the field to focus.
    bool Check(FacilityField* field = nullptr);
    // Writes the values of an open facility in one transaction. True when
    // saved or when nothing changed; false when a question was answered No,
    // a conversion failed or the database refused (each rolls back).
    bool Save();
    // OK: the checks, then (for an open facility) the save.
    bool Ok(FacilityField* field = nullptr);

    // The random numbers of new code digits (seeded with the clock unless
    // given) and the date the generated PINs are worked out for.
    void SetRandomSource(RandomNumber random) { random_ = std::move(random); }
    void SetToday(const QDate& today) { today_ = today; }
    // Called after a save, so the lock user view can show new codes and
    // captions.
    void SetUsersChanged(std::function<void()> notify) { usersChanged_ = std::move(notify); }

  private:
    enum class Outcome { Unchanged, Written, Refused };

    CFacilityPropertiesSheet(CTDXDoc* doc, Prompter& prompter) : doc_(doc), prompter_(prompter) {}
    bool Fail(const QString& message, FacilityField which, FacilityField* field);
    bool CheckName(FacilityField* field);
    bool CheckLengths(FacilityField* field);
    bool CheckFacilityCode(FacilityField* field);
    bool CheckCardPositions(FacilityField* field);
    bool CheckCardChoices(FacilityField* field);
    bool CheckCardPlace(const QString& item, int kind, int position, FacilityField which,
                        FacilityField* field);
    bool CheckCaptions(FacilityField* field);
    bool CheckDaylight(FacilityField* field);
    bool CheckDaylightChange(const QString& change, int month, int week, FacilityField monthField,
                             FacilityField weekField, FacilityField* field);
    Outcome WriteAll();
    bool Convert(const NewFacilityValues& before, bool pinLength, bool idCodeLength);
    void RaiseRevision();
    void ReloadShared();

    CTDXDoc* doc_;
    Prompter& prompter_;
    QString facilitiesFolder_;
    NewFacilityValues values_;
    NewFacilityValues stored_;
    bool daylightOpened_ = false;
    RandomNumber random_;
    QDate today_ = QDate::currentDate();
    std::function<void()> usersChanged_;
};

}  // namespace tandrel
