#include "platform/ce/store_sql.h"

namespace ce::store_sql {

std::string RecordTable(Oid db) {
    return "r" + std::to_string(db);
}

std::string SortColumn(int index) {
    return "s" + std::to_string(index + 1);
}

void BindKey(dao::sqlite::Statement& st, int index, const SortKey& key) {
    if (const auto* n = std::get_if<qint64>(&key)) {
        st.BindInt(index, *n);
    } else if (const auto* s = std::get_if<QString>(&key)) {
        st.BindText(index, *s);
    } else {
        // A zero-length blob sorts after every integer and text.
        sqlite3_bind_zeroblob(st.Handle(), index, 0);
    }
}

SortKey KeyColumn(const dao::sqlite::Statement& st, int column) {
    switch (sqlite3_column_type(st.Handle(), column)) {
        case SQLITE_INTEGER: return st.Int(column);
        case SQLITE_TEXT: return st.Text(column);
        default: return {};
    }
}

QByteArray BlobColumn(const dao::sqlite::Statement& st, int column) {
    const void* data = sqlite3_column_blob(st.Handle(), column);
    int size = sqlite3_column_bytes(st.Handle(), column);
    return data ? QByteArray(static_cast<const char*>(data), size) : QByteArray();
}

void BindBlob(dao::sqlite::Statement& st, int index, const QByteArray& bytes) {
    sqlite3_bind_blob(st.Handle(), index, bytes.isEmpty() ? "" : bytes.constData(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void BindBlobInPlace(dao::sqlite::Statement& st, int index, const QByteArray& bytes) {
    sqlite3_bind_blob(st.Handle(), index, bytes.isEmpty() ? "" : bytes.constData(),
                      static_cast<int>(bytes.size()), SQLITE_STATIC);
}

SortKey KeyOf(const SortOrderSpec& order, const Record& props) {
    for (const PropVal& p : props) {
        if (p.id != order.propId) continue;
        if (p.Type() == CEVT_LPWSTR) return p.text;
        return static_cast<qint64>(p.number);
    }
    return {};
}

QString NormalPath(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

QString Folded(const QString& text) {
    return text.toCaseFolded();
}

}  // namespace ce::store_sql
