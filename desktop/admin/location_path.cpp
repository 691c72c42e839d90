#include "desktop/admin/location_path.h"

#include <QStringList>

#include "platform/dao/recordset.h"

namespace tandrel {
namespace {
constexpr int kMaxLevels = 64;
}

std::optional<QString> LocationFullPath(dao::Database& db, int directoryKey) {
    auto paths = db.OpenTable("Lock Paths");
    QStringList names;
    int key = directoryKey;
    for (int level = 0; level < kMaxLevels; ++level) {
        if (!paths->FindByKey({key})) return std::nullopt;
        int parent = paths->Value("Root Index").toInt();
        if (parent < 0) {
            QString path = QStringLiteral("\\");
            for (auto it = names.rbegin(); it != names.rend(); ++it)
                path += *it + QLatin1Char('\\');
            return path;
        }
        names << paths->Value("Node Name").toString();
        key = parent;
    }
    return std::nullopt;
}

}  // namespace tandrel
