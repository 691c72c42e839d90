// The registry calls of the object store.
#include "platform/ce/object_store.h"
#include "platform/ce/store_sql.h"

namespace ce {
namespace {

using store_sql::Folded;

constexpr qsizetype kMaxValueSize = 64 * 1024;

bool IsRoot(HKey key) {
    return key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER;
}

QString Join(const QString& base, const QString& sub) {
    if (base.isEmpty()) return sub;
    return sub.isEmpty() ? base : base + QLatin1Char('\\') + sub;
}

bool Within(const QString& path, const QString& top) {
    return Folded(path) == Folded(top) || Folded(path).startsWith(Folded(top) + QLatin1Char('\\'));
}

}  // namespace

std::uint32_t ObjectStore::LookupKey(HKey key, OpenKey*& open) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return ERROR_INVALID_HANDLE;
    if (it->second.deleted) return ERROR_KEY_DELETED;
    open = &it->second;
    return 0;
}

std::uint32_t ObjectStore::ResolveKey(HKey parent, const QString& subKey, HKey& root,
                                      QString& path) {
    if (IsRoot(parent)) {
        root = parent;
        path = store_sql::NormalPath(subKey);
        return 0;
    }
    OpenKey* open = nullptr;
    if (std::uint32_t error = LookupKey(parent, open)) return error;
    root = open->root;
    path = Join(open->path, store_sql::NormalPath(subKey));
    return 0;
}

std::optional<qint64> ObjectStore::KeyId(HKey root, const QString& path) {
    auto& st = db_.Cached("SELECT id FROM reg_keys WHERE root = ?1 AND folded = ?2");
    st.BindInt(1, root);
    st.BindText(2, Folded(path));
    if (!st.Step()) return std::nullopt;
    qint64 id = st.Int(0);
    st.Reset();
    return id;
}

qint64 ObjectStore::CreateKeyPath(HKey root, const QString& path) {
    const QStringList levels = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    qint64 id = 0;
    QString sofar;
    for (int i = -1; i < levels.size(); ++i) {
        if (i >= 0) sofar = Join(sofar, levels[i]);
        if (std::optional<qint64> existing = KeyId(root, sofar)) {
            id = *existing;
            continue;
        }
        auto& st = db_.Cached("INSERT INTO reg_keys(root, path, folded) VALUES(?1, ?2, ?3)");
        st.BindInt(1, root);
        st.BindText(2, sofar);
        st.BindText(3, Folded(sofar));
        st.Run();
        id = sqlite3_last_insert_rowid(db_.Handle());
    }
    return id;
}

HKey ObjectStore::AddKeyHandle(qint64 id, HKey root, const QString& path) {
    HKey key = nextKey_++;
    keys_[key] = {id, root, path, false};
    return key;
}

std::uint32_t ObjectStore::RegOpenKeyEx(HKey parent, const QString& subKey, HKey& key) {
    key = 0;
    return Guard([&]() -> std::uint32_t {
        HKey root = 0;
        QString path;
        if (std::uint32_t error = ResolveKey(parent, subKey, root, path)) return error;
        std::optional<qint64> id = KeyId(root, path);
        if (!id) return ERROR_FILE_NOT_FOUND;
        key = AddKeyHandle(*id, root, path);
        return 0;
    });
}

std::uint32_t ObjectStore::RegCreateKeyEx(HKey parent, const QString& subKey, HKey& key) {
    key = 0;
    return Guard([&]() -> std::uint32_t {
        HKey root = 0;
        QString path;
        if (std::uint32_t error = ResolveKey(parent, subKey, root, path)) return error;
        std::optional<qint64> id = KeyId(root, path);
        if (!id) {
            BeginIfNeeded();
            Atomically(db_, [&] { id = CreateKeyPath(root, path); });
            Changed();
        }
        key = AddKeyHandle(*id, root, path);
        return 0;
    });
}

std::uint32_t ObjectStore::ValueKey(HKey key, qint64& id) {
    if (IsRoot(key)) {
        std::optional<qint64> rootId = KeyId(key, {});
        if (!rootId) return ERROR_FILE_NOT_FOUND;
        id = *rootId;
        return 0;
    }
    OpenKey* open = nullptr;
    if (std::uint32_t error = LookupKey(key, open)) return error;
    id = open->id;
    return 0;
}

std::uint32_t ObjectStore::RegQueryValueEx(HKey key, const QString& name, std::uint32_t& type,
                                           QByteArray& data, std::uint32_t bufferSize) {
    data.clear();
    return Guard([&]() -> std::uint32_t {
        qint64 id = 0;
        if (std::uint32_t error = ValueKey(key, id)) return error;
        auto& st = db_.Cached("SELECT type, data FROM reg_values WHERE key = ?1 AND folded = ?2");
        st.BindInt(1, id);
        st.BindText(2, Folded(name));
        if (!st.Step()) return ERROR_FILE_NOT_FOUND;
        type = static_cast<std::uint32_t>(st.Int(0));
        QByteArray stored = store_sql::BlobColumn(st, 1);
        st.Reset();
        if (stored.size() > static_cast<qsizetype>(bufferSize)) return ERROR_MORE_DATA;
        data = stored;
        return 0;
    });
}

std::uint32_t ObjectStore::RegSetValueEx(HKey key, const QString& name, std::uint32_t type,
                                         const QByteArray& data) {
    return Guard([&]() -> std::uint32_t {
        if (data.size() > kMaxValueSize || (type == REG_DWORD && data.size() != 4)) {
            return ERROR_INVALID_PARAMETER;
        }
        qint64 id = 0;
        if (std::uint32_t error = ValueKey(key, id)) return error;
        BeginIfNeeded();
        auto& update = db_.Cached(
            "UPDATE reg_values SET name = ?3, type = ?4, data = ?5 WHERE key = ?1 AND folded = ?2");
        auto bind = [&](dao::sqlite::Statement& st) {
            st.BindInt(1, id);
            st.BindText(2, Folded(name));
            st.BindText(3, name);
            st.BindInt(4, type);
            store_sql::BindBlob(st, 5, data);
        };
        bind(update);
        update.Run();
        if (sqlite3_changes(db_.Handle()) == 0) {
            auto& insert = db_.Cached(
                "INSERT INTO reg_values(key, folded, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5)");
            bind(insert);
            insert.Run();
        }
        Changed();
        return 0;
    });
}

std::uint32_t ObjectStore::RegCloseKey(HKey key) {
    return Guard([&]() -> std::uint32_t {
        if (keys_.erase(key) == 0) return ERROR_INVALID_HANDLE;
        Commit();
        return 0;
    });
}

std::uint32_t ObjectStore::RegDeleteKey(HKey parent, const QString& subKey) {
    return Guard([&]() -> std::uint32_t {
        HKey root = 0;
        QString path;
        if (std::uint32_t error = ResolveKey(parent, subKey, root, path)) return error;
        if (path.isEmpty()) return ERROR_INVALID_PARAMETER;
        if (!KeyId(root, path)) return ERROR_FILE_NOT_FOUND;
        const QString folded = Folded(path);
        BeginIfNeeded();
        // '\' is followed by ']': the range holds exactly the subkeys.
        const char* below =
            "root = ?1 AND (folded = ?2 OR (folded > ?2 || '\\' AND folded < ?2 || ']'))";
        Atomically(db_, [&] {
            auto& values = db_.Cached(
                std::string("DELETE FROM reg_values WHERE key IN (SELECT id FROM reg_keys WHERE ") +
                below + ")");
            values.BindInt(1, root);
            values.BindText(2, folded);
            values.Run();
            auto& keys = db_.Cached(std::string("DELETE FROM reg_keys WHERE ") + below);
            keys.BindInt(1, root);
            keys.BindText(2, folded);
            keys.Run();
        });
        for (auto& [handle, open] : keys_) {
            if (open.root == root && Within(open.path, path)) open.deleted = true;
        }
        Changed();
        return 0;
    });
}

std::uint32_t ObjectStore::RegistryValues(std::vector<RegistryValue>& values) {
    values.clear();
    return Guard([&]() -> std::uint32_t {
        auto& st = db_.Cached(
            "SELECT k.root, k.path, v.name, v.type, v.data FROM reg_values v"
            " JOIN reg_keys k ON v.key = k.id ORDER BY k.root DESC, k.folded, v.id");
        while (st.Step()) {
            values.push_back({static_cast<HKey>(st.Int(0)), st.Text(1), st.Text(2),
                              static_cast<std::uint32_t>(st.Int(3)), store_sql::BlobColumn(st, 4)});
        }
        return 0;
    });
}

}  // namespace ce
