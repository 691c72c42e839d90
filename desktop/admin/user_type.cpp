#include "desktop/admin/user_type.h"

namespace tandrel {

QString UserTypeName(int typeCode) {
    switch (typeCode & 3) {
        case kGeneral: return QStringLiteral("General");
        case kManager: return QStringLiteral("Manager");
        case kProgrammer: return QStringLiteral("Programmer");
        default: return QStringLiteral("Service");
    }
}

QString EnrolmentStateText(int state) {
    switch (state) {
        case kEnrolmentCurrent: return QStringLiteral(" Lock Data is Current");
        case kPendingEnrolment: return QStringLiteral(" User is Pending Enrollment");
        case kPendingUpdate: return QStringLiteral(" Lock Data is Pending Update");
        case kPendingRemoval: return QStringLiteral(" User is Pending Removal");
        default: return QStringLiteral(" Not Enrolled");
    }
}

}  // namespace tandrel
