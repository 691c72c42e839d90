#pragma once

#include <QFileInfo>
#include <QString>

#include <memory>

#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/cradle_session.h"

namespace tandrel {

// A handheld store in the cradle (made when missing) with the exchange's
// databases open.
struct BenchCradle {
    std::unique_ptr<ce::CradleSession> session;
    std::unique_ptr<HandheldTransport> transport;
    ExchangeDatabases databases;

    explicit BenchCradle(const QString& path) {
        std::uint32_t error = 0;
        if (!QFileInfo::exists(path)) ce::ObjectStore::Open(path, error, true);
        session = ce::CradleSession::Connect(path, error);
        transport = std::make_unique<HandheldTransport>(*session);
        transport->OpenDatabases(databases);
    }
    ~BenchCradle() { transport->CloseDatabases(databases); }
};

}  // namespace tandrel
