#pragma once

#include <cstdint>
#include <vector>

#include "desktop/exchange/record_layout.h"
#include "platform/ce/ce_api.h"

namespace tandrel {

// The handheld's databases.
enum class HandheldDatabase { TDXLDF, TDXLMF, TDXPGM, TDXLAF, TDXLOS };

// Every handheld database is created with this type.
inline constexpr std::uint32_t kHandheldDatabaseType = 0x04746478;

struct HandheldDatabaseDef {
    const char* name;
    RecordKind kind;
    std::vector<ce::SortOrderSpec> sortOrders;  // the first is the one opened with
};
const HandheldDatabaseDef& DefinitionOf(HandheldDatabase database);

// Creates a database empty, with its type and sort orders.
std::uint32_t CreateHandheldDatabase(ce::Api& device, HandheldDatabase database, ce::Oid& oid);

// The databases an exchange keeps open on a handheld. A network device has
// none: handles stay 0 and record counts unknown (0).
struct ExchangeDatabases {
    struct Open {
        ce::Handle handle = 0;
        ce::Oid oid = 0;
        std::uint32_t recordCount = 0;
    };
    Open ldf;
    Open lmf;        // by lock address
    Open lmfByPath;  // the same database by path index
    Open pgm;
    Open laf;

    // The handle records of `kind` use (TDXLMF: by lock address).
    ce::Handle HandleFor(RecordKind kind) const;
};

}  // namespace tandrel
