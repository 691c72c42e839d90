#pragma once

#include <string>

#include "platform/dao/sqlite.h"

// Makes key derivation cheap for the files created and opened while it
// lives (the engine's setting is per process), so that tests running an
// operation hundreds of times stay fast. Files made meanwhile open only
// meanwhile.
class FastKeys {
  public:
    FastKeys() : previous_(Setting()) { Set("64"); }
    ~FastKeys() { Set(previous_); }
    FastKeys(const FastKeys&) = delete;
    FastKeys& operator=(const FastKeys&) = delete;

  private:
    static std::string Setting() {
        dao::sqlite::Connection c;
        c.Open(QStringLiteral(":memory:"), true);
        dao::sqlite::Statement s(c.Handle(), "PRAGMA cipher_default_kdf_iter");
        return s.Step() ? s.Text(0).toStdString() : std::string("64000");
    }
    static void Set(const std::string& iterations) {
        dao::sqlite::Connection c;
        c.Open(QStringLiteral(":memory:"), true);
        c.Exec("PRAGMA cipher_default_kdf_iter = " + iterations);
    }

    std::string previous_;
};
