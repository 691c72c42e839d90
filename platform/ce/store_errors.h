#pragma once

#include <QString>

#include <cstdint>

namespace ce {

// Why the handheld store at `path` could not be opened, as one sentence
// for the person at the desktop (`error` as ObjectStore::Open and
// CradleSession::Connect report it).
QString StoreOpenFailureText(const QString& path, std::uint32_t error);

}  // namespace ce
