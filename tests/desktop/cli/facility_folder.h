#pragma once

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include <map>
#include <tuple>

#include "platform/dao/database.h"
#include "platform/dao/error.h"

namespace tandrel::testing {

// Every row of every table of an open SQLite file, in stored order.
inline QString AllRows(sqlite3* handle) {
    QStringList tables;
    {
        dao::sqlite::Statement s(handle,
                                 "SELECT name FROM sqlite_master WHERE type = 'table' "
                                 "ORDER BY name");
        while (s.Step()) tables << s.Text(0);
    }
    QString rows;
    for (const QString& table : tables) {
        rows += table + ":\n";
        dao::sqlite::Statement s(handle,
                                 "SELECT * FROM " + dao::sqlite::Quote(table) + " ORDER BY rowid");
        while (s.Step()) {
            for (int c = 0; c < s.ColumnCount(); ++c) rows += s.Value(c).toString() + "|";
            rows += "\n";
        }
    }
    return rows;
}

// What a facility file opened with `password` holds; empty when it does
// not open.
inline QString FacilityRows(const QString& path, const QString& password) {
    try {
        return AllRows(dao::Database::Open(path, ";pwd=" + password)->Connection().Handle());
    } catch (const dao::Error&) {
        return {};
    }
}

// What a handheld store holds; empty when it does not open.
inline QString StoreRows(const QString& path) {
    try {
        dao::sqlite::Connection c;
        c.Open(path, false);
        return AllRows(c.Handle());
    } catch (const dao::Error&) {
        return {};
    }
}

// Whether a handheld store file passes the engine's own check.
inline bool StoreIsWhole(const QString& path) {
    try {
        dao::sqlite::Connection c;
        c.Open(path, false);
        dao::sqlite::Statement s(c.Handle(), "PRAGMA integrity_check");
        return s.Step() && s.Text(0) == QLatin1String("ok");
    } catch (const dao::Error&) {
        return false;
    }
}

// The files of a folder with their bytes, to put the folder back as it was.
class Snapshot {
  public:
    static Snapshot Of(const QString& folder) {
        Snapshot s;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            QFile f(QDir(folder).filePath(name));
            f.open(QIODevice::ReadOnly);
            s.files_[name] = f.readAll();
        }
        return s;
    }
    QStringList Names() const {
        QStringList names;
        for (const auto& [name, bytes] : files_) names << name;
        return names;
    }
    // Removes the files made since and writes the others back.
    void Restore(const QString& folder) const {
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            if (!files_.count(name)) QFile::remove(QDir(folder).filePath(name));
        }
        for (const auto& [name, bytes] : files_) {
            QFile f(QDir(folder).filePath(name));
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(bytes);
        }
    }

  private:
    std::map<QString, QByteArray> files_;
};

// The names, bytes and modification times of a folder's files: equal only
// when nothing in the folder was written.
class FolderState {
  public:
    static FolderState Of(const QString& folder) {
        FolderState state;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            const QString path = QDir(folder).filePath(name);
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            struct stat st {};
            ::stat(QFile::encodeName(path).constData(), &st);
            state.files_[name] = {f.readAll(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
        }
        return state;
    }
    bool operator==(const FolderState& other) const { return files_ == other.files_; }
    friend void PrintTo(const FolderState& state, std::ostream* os) {
        for (const auto& [name, file] : state.files_) {
            *os << name.toStdString() << " (" << std::get<0>(file).size() << " bytes, "
                << std::get<1>(file) << "." << std::get<2>(file) << ") ";
        }
    }

  private:
    std::map<QString, std::tuple<QByteArray, qint64, qint64>> files_;
};

}  // namespace tandrel::testing
