#include "desktop/cli/declined_answers.h"

#include <array>

namespace tandrel {
namespace {

// A question by the start and end of its text (names and numbers sit in
// between), and what answering No to it leaves undone.
struct Declined {
    const char* starts;
    const char* ends;
    const char* undone;
};

const std::array kDeclined = {
    Declined{"Facility Database is Older Version", "", "The facility was not converted."},
    Declined{"We suggest you make a backup", "", "The facility was not converted."},
    Declined{"Warning: This facility database will be", "", "The facility was not converted."},
    Declined{"The facility name has changed", "",
             "The facility's name and its devices' directories were not updated."},
    Declined{"Password protection of facilities", "", "No password was set."},
    Declined{"Remove password protection", "", "The password was not removed."},
    Declined{"Caution: If you lose your password", "", "The password was not changed."},
    Declined{"Are you sure you want to purge", "", "Nothing was purged or compacted."},
    Declined{"Warning:  You may not be able", "from facility?", "The user was not deleted."},
    Declined{"Restore ", " to facility?", "The user was not restored."},
    Declined{"This user is pending removal", "", "The user was left as it is."},
    Declined{"Unable to enroll user into:", "", "Nothing was saved."},
    Declined{"Unable to remove user from:", "", "Nothing was saved."},
    Declined{"Unable to remove: ", "", "Nothing was saved."},
    Declined{"WARNING: Continuing will remove this lock", "", "The lock was not removed."},
    Declined{"This function will force a complete", "", "No lock was marked for a refresh."},
    Declined{"Warning:  The changes you have made", "", "No property was changed."},
    Declined{"Extreme Caution:", "", "No property was changed."},
    Declined{"There are currently ", "", "No property was changed."},
    Declined{"Permanently delete this device", "", "The device was not deleted."},
    Declined{"Clear pending delete status", "", "The device was not restored."},
    Declined{"Selected device is not connected.\nIf this device", "",
             "The device stays pending removal."},
    Declined{"This device is pending removal", "", "The device was left as it is."},
    Declined{"The connected mobile device is\nenrolled in another", "",
             "The device was not enrolled."},
    Declined{"WARNING! Any data belonging", "", "The device was not enrolled."},
    Declined{"Update device directory now?", "", "The device's directory was not updated."},
    Declined{"Remove Lock OS version", "", "The lock OS file stays on the device."},
    Declined{"Permanently delete '", "' time schedule?", "The time schedule was not deleted."},
    Declined{"Clear entire holiday list?", "", "No holiday was deleted."},
    Declined{"Replace scheduled event:", "", "The event was not replaced."},
    Declined{"Replace ", "", "Nothing was pasted."},
    Declined{"Delete ", "", "Nothing was deleted."},
};

}  // namespace

QString DeclinedAnswerText(const QString& question) {
    for (const Declined& d : kDeclined) {
        if (question.startsWith(QLatin1String(d.starts)) &&
            question.endsWith(QLatin1String(d.ends))) {
            return QString::fromLatin1(d.undone);
        }
    }
    return {};
}

}  // namespace tandrel
