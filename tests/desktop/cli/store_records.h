#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <functional>

#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/object_store.h"

namespace tandrel::testing {

// Calls `edit` on every programming record of the handheld store at
// `path`, as the handheld at the locks would change them.
inline void EditProgramRecords(const QString& path,
                               const std::function<void(CHandheldRecord&)>& edit) {
    std::uint32_t error = 0;
    auto handheld = ce::ObjectStore::Open(path, error);
    ASSERT_TRUE(handheld) << error;
    HandheldTransport transport(*handheld);
    ExchangeDatabases open;
    ASSERT_EQ(transport.OpenDatabases(open), 0u);
    CHandheldRecord pgm(RecordKind::Programming, transport, open.pgm.handle);
    if (pgm.Seek(0)) {
        while (pgm.Read()) edit(pgm);
    }
    transport.CloseDatabases(open);
}

// Marks every programming record of the store delivered.
inline void DeliverAllRecords(const QString& path) {
    EditProgramRecords(path, [](CHandheldRecord& pgm) {
        pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, pgm.GetUI2(PGM_DATA_OFFSET_COMMAND) | 0x8000);
        ASSERT_TRUE(pgm.Write(false));
    });
}

}  // namespace tandrel::testing
