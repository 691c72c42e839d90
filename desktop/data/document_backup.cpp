#include "desktop/data/facility_document.h"
#include "platform/dao/error.h"

namespace tandrel {

bool CTDXDoc::Backup(const QString& destination) {
    if (!db_) return false;
    try {
        db_->BackupTo(destination);
    } catch (const dao::Error& e) {
        ShowEngineError(e);
        return false;
    }
    return true;
}

}  // namespace tandrel
