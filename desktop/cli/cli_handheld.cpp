#include "desktop/cli/cli_handheld.h"

#include <QFileInfo>

#include "platform/ce/object_store.h"

namespace tandrel::cli {

std::unique_ptr<CradleConnector> HandheldConnector(Context& c, bool makeMissingStore) {
    QString path;
    if (c.args.Has("--handheld")) {
        path = c.args.Text("--handheld");
        std::uint32_t error = 0;
        if (makeMissingStore && !QFileInfo::exists(path)) ce::ObjectStore::Open(path, error, true);
    }
    return std::make_unique<CradleConnector>(c.settings.Raw(), path);
}

}  // namespace tandrel::cli
