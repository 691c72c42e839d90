#include "platform/ce/store_errors.h"

#include "platform/ce/ce_types.h"

namespace ce {

QString StoreOpenFailureText(const QString& path, std::uint32_t error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return QStringLiteral("The handheld store %1 was not found.").arg(path);
        case ERROR_SHARING_VIOLATION:
            return QStringLiteral("The handheld store %1 is in use by another program.").arg(path);
        case ERROR_INVALID_DATA: return QStringLiteral("%1 is not a handheld store.").arg(path);
        case ERROR_NOT_ENOUGH_MEMORY:
            return QStringLiteral("There is not enough memory to open the handheld store %1.")
                .arg(path);
        default:
            return QStringLiteral("The handheld store %1 cannot be read (error %2).")
                .arg(path)
                .arg(error);
    }
}

}  // namespace ce
