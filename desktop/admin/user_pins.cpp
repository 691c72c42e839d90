#include "desktop/admin/user_pins.h"

#include "desktop/admin/autocode_pin.h"
#include "desktop/admin/pin_dates.h"
#include "desktop/data/date_texts.h"

namespace tandrel {

std::optional<UserPins> AutocodePins(CTDXDoc& doc, int homeGroup, const QString& idDigits,
                                     const QDate& today) {
    CGroupsRecordset& groups = *doc.m_pGroups;
    if (!groups.FindByKey(homeGroup) || !groups.m_AutocodeEnabled) return std::nullopt;
    const auto unit =
        groups.m_AutocodeIntervalType == 0 ? IntervalUnit::Days : IntervalUnit::Months;
    const int interval = groups.m_AutocodeInterval;
    const auto stored = static_cast<std::uint16_t>(groups.m_PINDate);
    const std::uint16_t a = NextPinDate(stored, interval, unit, today).value_or(stored);
    if (a != stored) {
        groups.Edit();
        groups.m_PINDate = static_cast<std::int16_t>(a);
        groups.m_RecodeDate = RecodeDateText(UnpackToQDate(a, today));
        groups.Update();
    }
    const std::uint16_t b = AddInterval(a, interval, unit);
    CFacilityPropertiesRecordset& facility = *doc.m_pFacilityProperties;
    facility.MoveFirst();
    const auto code = static_cast<std::uint16_t>(facility.m_CommCode);
    const int length = facility.m_PINLength;
    return UserPins{AutocodePin(code, idDigits, a, length), AutocodePin(code, idDigits, b, length)};
}

bool RefreshUserPins(CTDXDoc& doc, const QDate& today) {
    CLockUsersRecordset& users = *doc.m_pLockUsers;
    UserPins pins = AutocodePins(doc, users.m_HomeGroup, users.m_LockIDcode, today)
                        .value_or(UserPins{users.m_CurPIN, users.m_CurPIN});
    if (pins.current == users.m_CurPIN && pins.next == users.m_NextPIN) return false;
    users.Edit();
    users.m_CurPIN = pins.current;
    users.m_NextPIN = pins.next;
    users.Update();
    return true;
}

}  // namespace tandrel
