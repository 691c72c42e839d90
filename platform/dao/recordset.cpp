#include "platform/dao/recordset.h"

#include "platform/dao/catalog.h"
#include "platform/dao/database.h"
#include "platform/dao/error.h"
#include "platform/dao/value.h"

namespace dao {

// A typed value in the form SQLite compares: the same form as stored.
QVariant KeyToStorage(const QVariant& value) {
    if (value.isNull()) return {};
    switch (value.typeId()) {
        case QMetaType::Bool: return QVariant(qlonglong(value.toBool() ? 1 : 0));
        case QMetaType::QDateTime:
            return QVariant(qlonglong(DateTimeToStorage(value.toDateTime())));
        case QMetaType::QString: return value;
        case QMetaType::Double: return value;
        default: return QVariant(value.toLongLong());
    }
}

// --- Recordset -------------------------------------------------------------

Recordset::Recordset(Database& db) : db_(&db) {
    db.Register(this);
}

Recordset::~Recordset() {
    if (db_) db_->Unregister(this);
}

Database& Recordset::Db() const {
    if (!db_) Throw(kErrObjectInvalid);
    return *db_;
}

void Recordset::Bind(std::vector<FieldInfo> fields, std::shared_ptr<const TableDef> base,
                     std::vector<int> baseColumns) {
    fields_ = std::move(fields);
    typed_.assign(fields_.size(), true);
    base_ = std::move(base);
    baseColumns_ = std::move(baseColumns);
}

const FieldInfo& Recordset::FieldDef(int ordinal) const {
    if (ordinal < 0 || ordinal >= FieldCount()) Throw(kErrItemNotFound);
    return fields_[ordinal];
}

int Recordset::FieldOrdinal(const QString& name) const {
    for (int i = 0; i < FieldCount(); ++i) {
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    Throw(kErrItemNotFound);
}

void Recordset::CheckCurrent() const {
    if (state_ == State::Deleted) Throw(kErrRecordDeleted);
    if (state_ != State::OnRow) Throw(kErrNoCurrentRecord);
}

QVariant Recordset::Value(int ordinal) const {
    FieldDef(ordinal);
    if (mode_ != EditMode::None) return buffer_[ordinal];
    CheckCurrent();
    return row_[ordinal];
}

void Recordset::SetValue(int ordinal, const QVariant& value) {
    const FieldInfo& field = FieldDef(ordinal);
    if (mode_ == EditMode::None) Throw(kErrUpdateWithoutEdit);
    if (!base_ || baseColumns_[ordinal] < 0) Throw(kErrReadOnly);
    // Type, range and size are checked as the value is assigned; whether a
    // required field is filled is checked when the row is written.
    if (!value.isNull()) ToStorage(field, value);
    buffer_[ordinal] = value;
    changed_[ordinal] = true;
}

std::vector<QVariant> Recordset::ReadValues(const sqlite::Statement& s, int first) const {
    std::vector<QVariant> values(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QVariant stored = s.Value(first + static_cast<int>(i));
        values[i] = typed_[i] ? FromStorage(fields_[i].type, stored) : stored;
    }
    return values;
}

bool Recordset::FetchRow(qint64 rowid) {
    auto& s = Db().Connection().Cached(fetchSql_);
    s.BindInt(1, rowid);
    if (!s.Step()) return false;
    SetCurrent(rowid, ReadValues(s, 1));
    s.Reset();
    return true;
}

void Recordset::SetCurrent(qint64 rowid, std::vector<QVariant> values) {
    state_ = State::OnRow;
    bof_ = eof_ = false;
    rowid_ = rowid;
    row_ = std::move(values);
}

void Recordset::SetPastEnd(bool forward) {
    state_ = forward ? State::AfterLast : State::BeforeFirst;
    eof_ = forward;
    bof_ = !forward;
}

void Recordset::AddNew() {
    if (!base_) Throw(kErrReadOnly);
    Db();
    buffer_.assign(fields_.size(), QVariant());
    changed_.assign(fields_.size(), false);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (baseColumns_[i] < 0) continue;
        const FieldInfo& field = base_->fields[baseColumns_[i]];
        buffer_[i] = field.IsAutoIncrement() ? QVariant(static_cast<int>(NextAutoNumber()))
                                             : DefaultFor(field);
    }
    mode_ = EditMode::AddNew;
}

void Recordset::Edit() {
    if (!base_) Throw(kErrReadOnly);
    CheckCurrent();
    if (!FetchRow(rowid_)) {
        state_ = State::Deleted;
        Throw(kErrRecordDeleted);
    }
    buffer_ = row_;
    changed_.assign(fields_.size(), false);
    mode_ = EditMode::Edit;
}

void Recordset::CancelUpdate() {
    if (mode_ == EditMode::None) Throw(kErrUpdateWithoutEdit);
    mode_ = EditMode::None;
}

void Recordset::Update() {
    if (mode_ == EditMode::None) Throw(kErrUpdateWithoutEdit);
    if (mode_ == EditMode::AddNew) {
        qint64 rowid = Insert();
        mode_ = EditMode::None;
        lastModified_ = rowid;
        AfterAdd(rowid);
        return;
    }
    WriteChanges();
    mode_ = EditMode::None;
    lastModified_ = rowid_;
    if (!FetchRow(rowid_)) state_ = State::Deleted;
    AfterEdit();
}

namespace {

bool IsPrimaryKeyField(const TableDef& table, const QString& field) {
    for (const IndexInfo& index : table.indexes) {
        if (!index.primary) continue;
        for (const IndexField& f : index.fields) {
            if (f.name.compare(field, Qt::CaseInsensitive) == 0) return true;
        }
    }
    return false;
}

QVariant CheckedStorage(const TableDef& table, const FieldInfo& field, const QVariant& value) {
    QVariant stored = ToStorage(field, value);
    if (value.isNull() && !field.IsAutoIncrement() && IsPrimaryKeyField(table, field.name)) {
        Throw(kErrIndexNull);
    }
    return stored;
}

}  // namespace

qint64 Recordset::Insert() {
    Db().CheckTransaction();
    const TableDef& table = *base_;
    std::vector<QVariant> values;
    for (const FieldInfo& field : table.fields) values.push_back(DefaultFor(field));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (baseColumns_[i] >= 0) values[baseColumns_[i]] = buffer_[i];
    }
    std::string columns, placeholders;
    std::vector<QVariant> stored;
    int autoColumn = -1;
    for (std::size_t c = 0; c < table.fields.size(); ++c) {
        const FieldInfo& field = table.fields[c];
        if (field.IsAutoIncrement()) {
            autoColumn = static_cast<int>(c);
            if (values[c].isNull()) continue;
        }
        stored.push_back(CheckedStorage(table, field, values[c]));
        columns += (columns.empty() ? "" : ", ") + sqlite::Quote(field.name);
        placeholders += placeholders.empty() ? "?" : ", ?";
    }
    auto& s = Db().Connection().Cached("INSERT INTO " + sqlite::Quote(table.name) + " (" + columns +
                                       ") VALUES (" + placeholders + ")");
    for (std::size_t k = 0; k < stored.size(); ++k) s.Bind(static_cast<int>(k + 1), stored[k]);
    s.Run();
    if (autoColumn >= 0 && !values[autoColumn].isNull()) return values[autoColumn].toLongLong();
    return sqlite3_last_insert_rowid(Db().Connection().Handle());
}

void Recordset::WriteChanges() {
    const TableDef& table = *base_;
    std::string assignments;
    std::vector<QVariant> stored;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (!changed_[i]) continue;
        const FieldInfo& field = table.fields[baseColumns_[i]];
        stored.push_back(CheckedStorage(table, field, buffer_[i]));
        assignments += (assignments.empty() ? "" : ", ") + sqlite::Quote(field.name) + " = ?";
    }
    if (stored.empty()) return;
    Db().CheckTransaction();
    auto& s = Db().Connection().Cached("UPDATE " + sqlite::Quote(table.name) + " SET " +
                                       assignments + " WHERE rowid = ?");
    int k = 1;
    for (const QVariant& v : stored) s.Bind(k++, v);
    s.BindInt(k, rowid_);
    s.Run();
    if (sqlite3_changes(Db().Connection().Handle()) == 0) Throw(kErrRecordDeleted);
}

qint64 Recordset::NextAutoNumber() const {
    auto& s = Db().Connection().Cached(
        "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = ?1), 0), "
        "coalesce((SELECT max(rowid) FROM " +
        sqlite::Quote(base_->name) + "), 0)) + 1");
    s.BindText(1, base_->name);
    s.Step();
    qint64 next = s.Int(0);
    s.Reset();
    return next;
}

void Recordset::Delete() {
    if (!base_) Throw(kErrReadOnly);
    CheckCurrent();
    Db().CheckTransaction();
    mode_ = EditMode::None;
    auto& s =
        Db().Connection().Cached("DELETE FROM " + sqlite::Quote(base_->name) + " WHERE rowid = ?");
    s.BindInt(1, rowid_);
    s.Run();
    state_ = State::Deleted;
    AfterDelete();
}

qint64 Recordset::Bookmark() const {
    CheckCurrent();
    return rowid_;
}

void Recordset::SetBookmark(qint64 bookmark) {
    mode_ = EditMode::None;
    if (!FetchRow(bookmark)) Throw(kErrRecordDeleted);
}

void Recordset::AfterRollback() {
    mode_ = EditMode::None;
    if (state_ == State::OnRow && !FetchRow(rowid_)) state_ = State::Deleted;
}

// --- TableRecordset ----------------------------------------------------------

TableRecordset::TableRecordset(Database& db, const TableDef& table) : Recordset(db) {
    auto base = std::make_shared<const TableDef>(table);
    std::vector<int> columns;
    std::string select = "SELECT rowid";
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        columns.push_back(static_cast<int>(i));
        select += ", " + sqlite::Quote(table.fields[i].name);
    }
    selectSql_ = select + " FROM " + sqlite::Quote(table.name);
    fetchSql_ = selectSql_ + " WHERE rowid = ?1";
    Bind(table.fields, std::move(base), std::move(columns));
    key_ = {{"rowid", false, -1}};
    MoveFirst();
}

void TableRecordset::SetIndex(const QString& name) {
    const IndexInfo* index = base_->Index(name);
    if (!index) Throw(kErrNotAnIndex, name);
    key_.clear();
    if (!IsRowIdIndex(*base_, *index)) {
        for (const IndexField& f : index->fields) {
            key_.push_back({sqlite::Quote(f.name), f.descending, FieldOrdinal(f.name)});
        }
    }
    key_.push_back({"rowid", false, -1});
    index_ = index->name;
    MoveFirst();
}

std::string TableRecordset::OrderBy(bool forward) const {
    std::string order;
    for (const KeyColumn& k : key_) {
        if (!order.empty()) order += ", ";
        order += k.sql + ((k.descending != !forward) ? " DESC" : " ASC");
    }
    return order;
}

bool TableRecordset::TakeRow(sqlite::Statement& s) {
    SetCurrent(s.Int(0), ReadValues(s, 1));
    s.Reset();
    UpdatePosition();
    return true;
}

void TableRecordset::UpdatePosition() {
    position_.clear();
    for (const KeyColumn& k : key_) {
        position_.push_back(k.ordinal < 0 ? QVariant(rowid_) : KeyToStorage(row_[k.ordinal]));
    }
}

bool TableRecordset::Find(const QVariantList& prefix, bool strict, bool forward) {
    const int m = static_cast<int>(prefix.size());
    const std::string order = " ORDER BY " + OrderBy(forward) + " LIMIT 1";
    if (m == 0) {
        auto& s = Db().Connection().Cached(selectSql_ + order);
        return s.Step() && TakeRow(s);
    }
    // Rows sharing a longer prefix come first; try the deepest level first.
    for (int level = m - 1; level >= 0; --level) {
        std::string where;
        QVariantList binds;
        for (int l = 0; l < level; ++l) {
            where += key_[l].sql + (prefix[l].isNull() ? " IS NULL AND " : " = ? AND ");
            if (!prefix[l].isNull()) binds << prefix[l];
        }
        const KeyColumn& k = key_[level];
        const QVariant& v = prefix[level];
        const bool strictHere = strict || level < m - 1;
        const bool descending = k.descending != !forward;
        std::string condition;
        if (!descending) {
            condition = v.isNull() ? (strictHere ? k.sql + " IS NOT NULL" : "1")
                                   : k.sql + (strictHere ? " > ?" : " >= ?");
        } else {
            if (v.isNull() && strictHere) continue;  // nothing sorts after null
            condition = v.isNull() ? k.sql + " IS NULL"
                                   : "(" + k.sql + (strictHere ? " < ?" : " <= ?") + " OR " +
                                         k.sql + " IS NULL)";
        }
        if (!v.isNull()) binds << v;
        auto& s = Db().Connection().Cached(selectSql_ + " WHERE " + where + condition + order);
        int slot = 1;
        for (const QVariant& b : binds) s.Bind(slot++, b);
        if (s.Step()) return TakeRow(s);
    }
    return false;
}

bool TableRecordset::FindEqual(const QVariantList& prefix) {
    std::string where;
    for (int l = 0; l < prefix.size(); ++l) {
        if (l > 0) where += " AND ";
        where += key_[l].sql + (prefix[l].isNull() ? " IS NULL" : " = ?");
    }
    auto& s = Db().Connection().Cached(selectSql_ + " WHERE " + where + " ORDER BY " +
                                       OrderBy(true) + " LIMIT 1");
    int slot = 1;
    for (const QVariant& v : prefix) {
        if (!v.isNull()) s.Bind(slot++, v);
    }
    return s.Step() && TakeRow(s);
}

bool TableRecordset::Seek(const QString& comparison, const QVariantList& keys) {
    if (index_.isEmpty()) Throw(kErrNoCurrentIndex);
    if (keys.isEmpty() || keys.size() >= static_cast<qsizetype>(key_.size())) {
        if (keys.isEmpty() || key_.size() != 1 || keys.size() != 1) Throw(kErrInvalidArgument);
    }
    DiscardEdit();
    QVariantList prefix;
    for (const QVariant& k : keys) prefix << KeyToStorage(k);
    bool found;
    if (comparison == QLatin1String("=")) {
        found = FindEqual(prefix);
    } else if (comparison == QLatin1String(">=")) {
        found = Find(prefix, false, true);
    } else if (comparison == QLatin1String(">")) {
        found = Find(prefix, true, true);
    } else if (comparison == QLatin1String("<=")) {
        found = Find(prefix, false, false);
    } else if (comparison == QLatin1String("<")) {
        found = Find(prefix, true, false);
    } else {
        Throw(kErrInvalidArgument);
    }
    noMatch_ = !found;
    if (!found) state_ = State::Deleted;  // no current record; moves go on from before
    return found;
}

bool TableRecordset::FindByKey(const QVariantList& key) {
    const IndexInfo* primary = nullptr;
    for (const IndexInfo& index : base_->indexes) {
        if (index.primary) primary = &index;
    }
    if (!primary) Throw(kErrNoCurrentIndex);
    if (key.size() != static_cast<qsizetype>(primary->fields.size())) Throw(kErrInvalidArgument);
    if (index_ != primary->name) SetIndex(primary->name);
    return Seek(QStringLiteral("="), key);
}

void TableRecordset::MoveFirst() {
    DiscardEdit();
    if (!Find({}, false, true)) {
        state_ = State::BeforeFirst;
        bof_ = eof_ = true;
    }
}

void TableRecordset::MoveLast() {
    DiscardEdit();
    if (!Find({}, false, false)) {
        state_ = State::AfterLast;
        bof_ = eof_ = true;
    }
}

void TableRecordset::MoveNext() {
    DiscardEdit();
    if (state_ == State::AfterLast) Throw(kErrNoCurrentRecord);
    if (state_ == State::BeforeFirst) {
        MoveFirst();
        if (bof_ && eof_) Throw(kErrNoCurrentRecord);
        return;
    }
    if (!Find(position_, true, true)) SetPastEnd(true);
}

void TableRecordset::MovePrevious() {
    DiscardEdit();
    if (state_ == State::BeforeFirst) Throw(kErrNoCurrentRecord);
    if (state_ == State::AfterLast) {
        MoveLast();
        if (bof_ && eof_) Throw(kErrNoCurrentRecord);
        return;
    }
    if (!Find(position_, true, false)) SetPastEnd(false);
}

qint64 TableRecordset::RecordCount() {
    auto& s = Db().Connection().Cached("SELECT count(*) FROM " + sqlite::Quote(base_->name));
    s.Step();
    qint64 count = s.Int(0);
    s.Reset();
    return count;
}

void TableRecordset::Requery() {
    DiscardEdit();
    if (state_ == State::OnRow && FetchRow(rowid_)) {
        UpdatePosition();
        return;
    }
    MoveFirst();
}

void TableRecordset::AfterEdit() {
    if (state_ == State::OnRow) UpdatePosition();
}

void TableRecordset::SetBookmark(qint64 bookmark) {
    Recordset::SetBookmark(bookmark);
    UpdatePosition();
}

void TableRecordset::AfterRollback() {
    Recordset::AfterRollback();
    if (state_ == State::OnRow) UpdatePosition();
}

// --- DynasetRecordset --------------------------------------------------------

DynasetRecordset::DynasetRecordset(Database& db, const QueryDef& query)
    : Recordset(db), query_(query) {
    translated_ = TranslateQuery(query.sql, query.parameters);
    parameters_ = QVariantList(query.parameters.size());
    DescribeColumns();
}

void DynasetRecordset::DescribeColumns() {
    sqlite::Statement s(Db().Connection().Handle(), translated_.sql);
    const QString& single = translated_.singleTable;
    std::shared_ptr<const TableDef> base;
    if (!single.isEmpty() && Db().HasTable(single)) {
        base = std::make_shared<const TableDef>(Db().GetTableDef(single));
    }
    std::vector<FieldInfo> fields;
    std::vector<int> columns;
    std::vector<bool> typed;
    for (int c = 0; c < s.ColumnCount(); ++c) {
        QString table = s.ColumnTableName(c);
        QString origin = s.ColumnOriginName(c);
        FieldInfo field;
        bool known = false;
        if (!table.isEmpty() && Db().HasTable(table)) {
            const TableDef origins = Db().GetTableDef(table);
            if (const FieldInfo* f = origins.Field(origin)) {
                field = *f;
                known = true;
            }
        }
        field.name = s.ColumnName(c);
        int column = -1;
        if (base && known && table.compare(base->name, Qt::CaseInsensitive) == 0) {
            for (std::size_t k = 0; k < base->fields.size(); ++k) {
                if (base->fields[k].name.compare(origin, Qt::CaseInsensitive) == 0) {
                    column = static_cast<int>(k);
                }
            }
        }
        fields.push_back(field);
        columns.push_back(column);
        typed.push_back(known);
    }
    Bind(std::move(fields), base, std::move(columns));
    typed_ = std::move(typed);
    if (base_) {
        std::string table = sqlite::Quote(base_->name);
        fetchSql_ = "SELECT " + table + ".rowid, " + translated_.selectList + " FROM " + table +
                    " WHERE " + table + ".rowid = ?1";
    }
}

void DynasetRecordset::SetParameter(const QString& name, const QVariant& value) {
    for (int i = 0; i < query_.parameters.size(); ++i) {
        if (query_.parameters[i].compare(name, Qt::CaseInsensitive) == 0) {
            parameters_[i] = KeyToStorage(value);
            return;
        }
    }
    Throw(kErrItemNotFound);
}

void DynasetRecordset::SetParameterText(const QString& name, const QString& text) {
    bool ok = false;
    qlonglong number = text.trimmed().toLongLong(&ok);
    SetParameter(name, ok ? QVariant(number) : QVariant(text));
}

void DynasetRecordset::BindParameters(sqlite::Statement& s) const {
    int count = sqlite3_bind_parameter_count(s.Handle());
    for (int i = 1; i <= count && i <= parameters_.size(); ++i) s.Bind(i, parameters_[i - 1]);
}

void DynasetRecordset::Requery() {
    DiscardEdit();
    keys_.clear();
    rows_.clear();
    if (base_) {
        std::string table = sqlite::Quote(base_->name);
        auto& s = Db().Connection().Cached("SELECT " + table + ".rowid " + translated_.fromClause);
        BindParameters(s);
        while (s.Step()) keys_.push_back(s.Int(0));
        s.Reset();
    } else {
        auto& s = Db().Connection().Cached(translated_.sql);
        BindParameters(s);
        while (s.Step()) rows_.push_back(ReadValues(s, 0));
        s.Reset();
    }
    index_ = -1;
    MoveFirst();
}

bool DynasetRecordset::MoveTo(std::ptrdiff_t index, int step) {
    if (!base_) {
        if (index < 0 || index >= static_cast<std::ptrdiff_t>(rows_.size())) return false;
        index_ = index;
        SetCurrent(index, rows_[index]);
        return true;
    }
    for (; index >= 0 && index < static_cast<std::ptrdiff_t>(keys_.size()); index += step) {
        if (FetchRow(keys_[index])) {
            index_ = index;
            return true;
        }
    }
    return false;
}

void DynasetRecordset::MoveFirst() {
    DiscardEdit();
    if (!MoveTo(0, 1)) {
        state_ = State::BeforeFirst;
        bof_ = eof_ = true;
    }
}

void DynasetRecordset::MoveLast() {
    DiscardEdit();
    if (!MoveTo(static_cast<std::ptrdiff_t>(RecordCount()) - 1, -1)) {
        state_ = State::AfterLast;
        bof_ = eof_ = true;
    }
}

void DynasetRecordset::MoveNext() {
    DiscardEdit();
    if (state_ == State::AfterLast) Throw(kErrNoCurrentRecord);
    std::ptrdiff_t from = state_ == State::BeforeFirst ? 0
                          : state_ == State::Deleted   ? index_
                                                       : index_ + 1;
    if (!MoveTo(from, 1)) {
        index_ = static_cast<std::ptrdiff_t>(RecordCount());
        SetPastEnd(true);
    }
}

void DynasetRecordset::MovePrevious() {
    DiscardEdit();
    if (state_ == State::BeforeFirst) Throw(kErrNoCurrentRecord);
    std::ptrdiff_t from =
        state_ == State::AfterLast ? static_cast<std::ptrdiff_t>(RecordCount()) - 1 : index_ - 1;
    if (!MoveTo(from, -1)) {
        index_ = -1;
        SetPastEnd(false);
    }
}

qint64 DynasetRecordset::RecordCount() {
    return static_cast<qint64>(base_ ? keys_.size() : rows_.size());
}

void DynasetRecordset::AfterAdd(qint64 rowid) {
    keys_.push_back(rowid);
}

void DynasetRecordset::AfterDelete() {
    if (index_ >= 0 && index_ < static_cast<std::ptrdiff_t>(keys_.size())) {
        keys_.erase(keys_.begin() + index_);
    }
}

void DynasetRecordset::SetBookmark(qint64 bookmark) {
    DiscardEdit();
    if (!base_) {
        if (!MoveTo(bookmark, 1) || index_ != bookmark) Throw(kErrRecordDeleted);
        return;
    }
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == bookmark) {
            if (!FetchRow(bookmark)) Throw(kErrRecordDeleted);
            index_ = static_cast<std::ptrdiff_t>(i);
            return;
        }
    }
    Throw(kErrRecordDeleted);
}

}  // namespace dao
