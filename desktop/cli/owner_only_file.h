#pragma once

#include <QByteArray>
#include <QString>

namespace tandrel::cli {

// Writes `bytes` as the file `path`, readable and writable by its owner
// only. They go to a new file beside it that then takes its name, so a link
// or another file standing at `path` is replaced, never written through.
// False, with the reason in `error`, when the file could not be written.
bool WriteOwnerOnlyFile(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace tandrel::cli
