#include "desktop/exchange/audit_events.h"

#include "protocol/audit_block.h"

namespace tandrel {

const std::vector<int>& NamedAuditEvents() {
    static const std::vector<int> kTypes = {
        protocol::kAuditLogOn,          protocol::kAuditEntry,          protocol::kAuditAttempt,
        protocol::kAuditSetAccessLevel, protocol::kAuditSetGroupAccess, protocol::kAuditAntitamper,
        protocol::kAuditRemoteEntry,    protocol::kAuditKeyEntry,       protocol::kAuditSetClock};
    return kTypes;
}

QString AuditEventName(int type) {
    switch (type) {
        case protocol::kAuditLogOn: return QStringLiteral("Log On");
        case protocol::kAuditEntry: return QStringLiteral("Entry");
        case protocol::kAuditAttempt: return QStringLiteral("Attempt");
        case protocol::kAuditSetAccessLevel: return QStringLiteral("Set Access Level");
        case protocol::kAuditSetGroupAccess: return QStringLiteral("Set Group Access");
        case protocol::kAuditAntitamper: return QStringLiteral("Antitamper");
        case protocol::kAuditRemoteEntry: return QStringLiteral("Remote Entry");
        case protocol::kAuditKeyEntry: return QStringLiteral("Key Entry");
        case protocol::kAuditSetClock: return QStringLiteral("Set Clock");
        default: return {};
    }
}

QString AuditEventText(int type) {
    const QString name = AuditEventName(type);
    return name.isEmpty() ? QString::number(type) : name;
}

bool AuditEventHasLevel(int type) {
    return type == protocol::kAuditSetAccessLevel;
}

bool AuditEventHasGroups(int type) {
    return type == protocol::kAuditSetAccessLevel || type == protocol::kAuditSetGroupAccess;
}

}  // namespace tandrel
