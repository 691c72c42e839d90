#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace dao {

// A file this program writes beside a database before it takes the
// database's place or a name of its own: a compaction's work file, the new
// file of a password change, a backup being written. It holds the same PINs
// and codes, so it is created exclusively under a name no other run uses,
// owner-only, and locked for as long as this object lives, so that another
// process cleaning up after a killed run leaves it alone. It is removed when
// the object goes away unless it was given its place.
class ScratchFile {
  public:
    // "~Alpha.qfd.<random>.<kind>" beside `beside` ("/f/Alpha.qfd").
    ScratchFile(const QString& beside, const QString& kind);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const QString& Path() const { return path_; }
    // Flushes what any handle wrote to the file.
    void Sync();
    // Moves the file over `target` in one step, provided its name still
    // holds the file this object created.
    void RenameOver(const QString& target);
    // Gives the file the name `target` instead of its own; 3204 when
    // `target` exists.
    void MoveToNewName(const QString& target);

  private:
    void CheckStillOurs() const;

    QString path_;
    int fd_ = -1;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool placed_ = false;
};

// The scratch files beside `path`, of this run or of others.
QStringList ScratchFilesBeside(const QString& path);
// Removes the scratch files that killed runs left beside `path`; those a
// running process still holds stay.
void RemoveLeftoverScratchFiles(const QString& path);

}  // namespace dao
