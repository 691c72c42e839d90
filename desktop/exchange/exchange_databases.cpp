// The handheld's databases, and opening and resetting the exchange's set.
#include "desktop/exchange/exchange_databases.h"

#include "desktop/exchange/handheld_transport.h"

namespace tandrel {
namespace {

constexpr ce::PropId kUi2Key1 = 0x00010012;
constexpr ce::PropId kUi2Key2 = 0x00020012;
constexpr ce::PropId kUi4Key1 = 0x00010013;

// Cleared by the exchange in this order; TDXLOS belongs to the lock OS
// manager.
constexpr HandheldDatabase kExchangeSet[] = {HandheldDatabase::TDXLDF, HandheldDatabase::TDXLMF,
                                             HandheldDatabase::TDXPGM, HandheldDatabase::TDXLAF};

}  // namespace

const HandheldDatabaseDef& DefinitionOf(HandheldDatabase database) {
    static const HandheldDatabaseDef kDefs[] = {
        {"TDXLDF", RecordKind::Directory, {{kUi2Key1, 0}}},
        {"TDXLMF", RecordKind::EnrolledLock, {{kUi2Key1, 0}, {kUi2Key2, 0}}},
        {"TDXPGM", RecordKind::Programming, {{kUi4Key1, 0}}},
        // Audit records carry property 1 as CEVT_UI2: they all sort alike,
        // in the order written.
        {"TDXLAF", RecordKind::Audit, {{kUi4Key1, 0}}},
        {"TDXLOS", RecordKind::OsData, {{kUi4Key1, 0}}},
    };
    return kDefs[static_cast<int>(database)];
}

std::uint32_t CreateHandheldDatabase(ce::Api& device, HandheldDatabase database, ce::Oid& oid) {
    const HandheldDatabaseDef& def = DefinitionOf(database);
    return device.CreateDatabase(QString::fromLatin1(def.name), kHandheldDatabaseType,
                                 def.sortOrders, oid);
}

ce::Handle ExchangeDatabases::HandleFor(RecordKind kind) const {
    switch (kind) {
        case RecordKind::Directory: return ldf.handle;
        case RecordKind::EnrolledLock: return lmf.handle;
        case RecordKind::Programming: return pgm.handle;
        case RecordKind::Audit: return laf.handle;
        default: return 0;
    }
}

std::uint32_t HandheldTransport::OpenOrCreate(HandheldDatabase database,
                                              ExchangeDatabases::Open& open) {
    const HandheldDatabaseDef& def = DefinitionOf(database);
    const ce::PropId sort = def.sortOrders.front().propId;
    ce::Oid oid = 0;
    std::uint32_t error = device_->OpenDatabase(oid, QString::fromLatin1(def.name), sort,
                                                ce::CEDB_AUTOINCREMENT, open.handle);
    if (error == ce::ERROR_FILE_NOT_FOUND) {
        error = CreateHandheldDatabase(*device_, database, oid);
        if (error == 0) {
            error = device_->OpenDatabase(oid, {}, sort, ce::CEDB_AUTOINCREMENT, open.handle);
        }
    }
    open.oid = error == 0 ? oid : 0;
    return error;
}

std::uint32_t HandheldTransport::OpenDatabases(ExchangeDatabases& databases) {
    ExchangeDatabases::Open* opens[] = {&databases.ldf, &databases.lmf, &databases.pgm,
                                        &databases.laf};
    std::uint32_t error = 0;
    for (std::size_t i = 0; i < std::size(kExchangeSet) && error == 0; ++i) {
        error = OpenOrCreate(kExchangeSet[i], *opens[i]);
    }
    if (error == 0) {
        ce::Oid oid = databases.lmf.oid;
        error = device_->OpenDatabase(oid, {}, kUi2Key2, ce::CEDB_AUTOINCREMENT,
                                      databases.lmfByPath.handle);
        databases.lmfByPath.oid = oid;
    }
    for (ExchangeDatabases::Open* open :
         {&databases.ldf, &databases.lmf, &databases.lmfByPath, &databases.pgm, &databases.laf}) {
        ce::ObjectInfo info;
        if (error == 0) error = device_->OidGetInfo(open->oid, info);
        if (error == 0) open->recordCount = info.database.recordCount;
    }
    if (error != 0) CloseDatabases(databases);
    return error;
}

void HandheldTransport::CloseDatabases(ExchangeDatabases& databases) {
    for (ExchangeDatabases::Open* open :
         {&databases.ldf, &databases.lmf, &databases.lmfByPath, &databases.pgm, &databases.laf}) {
        if (open->handle != 0) device_->CloseHandle(open->handle);
        *open = {};
    }
}

std::uint32_t HandheldTransport::ResetDatabases() {
    for (HandheldDatabase database : kExchangeSet) {
        ce::Oid oid = 0;
        ce::Handle handle = 0;
        std::uint32_t error = device_->OpenDatabase(
            oid, QString::fromLatin1(DefinitionOf(database).name), 0, 0, handle);
        if (error == 0) {
            device_->CloseHandle(handle);
            error = device_->DeleteDatabase(oid);
        } else if (error == ce::ERROR_FILE_NOT_FOUND) {
            error = 0;
        }
        if (error == 0) error = CreateHandheldDatabase(*device_, database, oid);
        if (error != 0) return error;
    }
    return 0;
}

}  // namespace tandrel
