#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A fresh folder per test, removed afterwards.
class TempDir {
  public:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString Root() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
};
