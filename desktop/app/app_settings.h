#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tandrel {

inline constexpr char kSettingsOrganization[] = "Pellandra";
inline constexpr char kSettingsApplication[] = "QUANDRIX Facility Manager";

// The compaction dialog's remembered choices.
struct PurgeDialogState {
    bool purge = true;
    int dateSpanDays = 90;  // -1: purge everything
};

// The facility manager's settings, kept where the platform keeps per-user
// settings of "Pellandra" / "QUANDRIX Facility Manager".
class AppSettings {
  public:
    // The user's settings of this program.
    AppSettings();
    // Settings in a file of their own (tests, portable use).
    explicit AppSettings(const QString& iniFile);

    QString CurrentDBPath() const;
    void SetCurrentDBPath(const QString& path);

    // "Recent Facilities": six entries, newest first; the menu shows five.
    QStringList RecentFacilities() const;
    void RecordRecentFacility(const QString& path);

    // The serial proximity reader's port, 0 for the USB reader; a missing
    // value is written as 0. nullopt when the settings cannot be read.
    std::optional<int> ComPort();

    PurgeDialogState PurgeDialog() const;
    void SetPurgeDialog(const PurgeDialogState& state);

    // Where new facilities go unless "FacilitiesFolder" says otherwise.
    QString FacilitiesFolderOverride() const;

    QSettings& Raw() { return *settings_; }

  private:
    std::unique_ptr<QSettings> settings_;
};

inline constexpr int kRecentFacilityCount = 6;
inline constexpr int kRecentMenuEntries = 5;
inline constexpr int kFirstRecentCommand = 33023;

// The "&Recent" submenu's items: "&1 Name" for a facility in the facilities
// folder, "&2 /full/path.qfd" for one elsewhere; stops at the first empty
// entry.
QStringList RecentMenuTexts(const QStringList& entries, const QString& facilitiesFolder);

}  // namespace tandrel
