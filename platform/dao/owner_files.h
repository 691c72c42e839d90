#pragma once

#include <QString>

// File steps for database files and their copies. Every one of them holds
// PINs and codes, so whatever is created here is readable by its owner only,
// and no step ever overwrites a name it did not expect to.
namespace dao {

// Creates `path` empty, exclusively (an existing name, a symbolic link
// included, is never opened) and owner-only. 3204 when the name exists,
// 3044 when its folder does not.
void CreateOwnerOnlyFile(const QString& path);

// Makes `path` owner-only without following a symbolic link.
void MakeOwnerOnly(const QString& path);

// Gives the file at `from` the second name `to` (a copy where the file
// system has no hard links). False when `to` exists; throws for other
// failures, leaving no partial `to`.
bool AddNameNoReplace(const QString& from, const QString& to);

// Flushes the entries of a path's folder (after a rename).
void SyncFolderOf(const QString& path);

// The file a path names once every symbolic link is followed; the path
// itself when it does not exist.
QString RealFilePath(const QString& path);

}  // namespace dao
