#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <optional>
#include <vector>

#include "platform/dao/field_info.h"
#include "platform/dao/jet_sql.h"
#include "platform/dao/sqlite.h"

namespace dao {

class Database;

// The rows of a table or query with a current record, an edit buffer and the
// moves, edits and bookmarks of the engine's recordsets. Values come in
// their field's type: bool, int, QDateTime, QString, or null.
class Recordset {
  public:
    enum class EditMode { None, Edit, AddNew };

    virtual ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const FieldInfo& FieldDef(int ordinal) const;
    // 3265 for a name the recordset does not have.
    int FieldOrdinal(const QString& name) const;
    // The current record's value, or the edit buffer's while editing.
    QVariant Value(int ordinal) const;
    QVariant Value(const QString& name) const { return Value(FieldOrdinal(name)); }
    void SetValue(int ordinal, const QVariant& value);
    void SetValue(const QString& name, const QVariant& value) {
        SetValue(FieldOrdinal(name), value);
    }

    virtual void MoveFirst() = 0;
    virtual void MoveLast() = 0;
    virtual void MoveNext() = 0;
    virtual void MovePrevious() = 0;
    bool IsBOF() const { return bof_; }
    bool IsEOF() const { return eof_; }
    bool HasCurrent() const { return state_ == State::OnRow; }
    virtual qint64 RecordCount() = 0;
    // Reads the rows again.
    virtual void Requery() = 0;

    // AddNew fills the buffer with the fields' defaults and, for an
    // auto-increment key, the key the new row will get. Update writes the
    // buffer; after an AddNew the current record stays what it was and
    // LastModified() names the new row.
    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    // Deletes the current record; moves go on from where it stood.
    void Delete();
    EditMode GetEditMode() const { return mode_; }
    bool IsUpdatable() const { return base_ != nullptr; }

    qint64 Bookmark() const;
    // 3167 when the row no longer exists.
    virtual void SetBookmark(qint64 bookmark);
    qint64 LastModified() const { return lastModified_; }

  protected:
    friend class Database;
    enum class State { BeforeFirst, OnRow, AfterLast, Deleted };

    explicit Recordset(Database& db);
    Database& Db() const;
    // Sets the fields and, for an updatable recordset, the base table and
    // which base field each field writes.
    void Bind(std::vector<FieldInfo> fields, std::shared_ptr<const TableDef> base,
              std::vector<int> baseColumns);

    // Reads the row with this row id into the current record; false when it
    // no longer exists. `fetchSql_` selects the fields for "rowid = ?1".
    bool FetchRow(qint64 rowid);
    void SetCurrent(qint64 rowid, std::vector<QVariant> values);
    void SetPastEnd(bool forward);
    void DiscardEdit() { mode_ = EditMode::None; }
    // Converts a statement row (fields from column `first`) to typed values.
    std::vector<QVariant> ReadValues(const sqlite::Statement& s, int first) const;

    // Hooks for the kinds of recordset.
    virtual void AfterAdd(qint64 /*rowid*/) {}
    virtual void AfterEdit() {}
    virtual void AfterDelete() {}
    virtual void AfterRollback();
    void Detach() { db_ = nullptr; }

    std::vector<FieldInfo> fields_;
    std::vector<bool> typed_;  // false: an expression column, read as stored
    std::shared_ptr<const TableDef> base_;
    std::vector<int> baseColumns_;
    std::string fetchSql_;

    State state_ = State::BeforeFirst;
    bool bof_ = true;
    bool eof_ = true;
    qint64 rowid_ = 0;
    std::vector<QVariant> row_;

  private:
    void CheckCurrent() const;
    qint64 Insert();
    void WriteChanges();
    qint64 NextAutoNumber() const;

    Database* db_;
    EditMode mode_ = EditMode::None;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
    qint64 lastModified_ = 0;
};

// A table recordset: the rows of one table in the order of a chosen index
// (row order until one is chosen), with Seek on that index.
class TableRecordset : public Recordset {
  public:
    TableRecordset(Database& db, const TableDef& table);

    // Chooses the index by name ("PrimaryKey", ...) and moves to its first
    // row; 3800 for a name the table does not have.
    void SetIndex(const QString& name);
    const QString& Index() const { return index_; }
    // Seeks on the current index with "=", ">=", ">", "<=" or "<" over the
    // first keys.size() index fields. Returns whether a row was found (the
    // current record); NoMatch() is the opposite.
    bool Seek(const QString& comparison, const QVariantList& keys);
    bool NoMatch() const { return noMatch_; }
    // Seeks "=" on the table's primary index with every field of its key,
    // choosing that index first unless it is already the current one. 3019
    // for a table without a primary index, 3001 for a key of another length.
    bool FindByKey(const QVariantList& key);

    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrevious() override;
    qint64 RecordCount() override;
    void Requery() override;
    void SetBookmark(qint64 bookmark) override;

  private:
    struct KeyColumn {
        std::string sql;
        bool descending;
        int ordinal;  // field ordinal, -1 for the row id
    };
    // The first row after (forward) or before the given key prefix.
    bool Find(const QVariantList& prefix, bool strict, bool forward);
    bool FindEqual(const QVariantList& prefix);
    bool TakeRow(sqlite::Statement& s);
    void UpdatePosition();
    void AfterRollback() override;
    std::string OrderBy(bool forward) const;
    void AfterAdd(qint64) override {}
    void AfterEdit() override;

    std::string selectSql_;  // "SELECT rowid, fields FROM table"
    QString index_;
    std::vector<KeyColumn> key_;  // index columns, then the row id
    QVariantList position_;       // stored key values of the current row
    bool noMatch_ = false;
};

// A dynaset: the rows a stored query, or a filter and sort on a table,
// selects when (re)queried. Rows of a query that reads one table can be
// edited, added and deleted; rows of a join are read-only.
class DynasetRecordset : public Recordset {
  public:
    DynasetRecordset(Database& db, const QueryDef& query);

    // 3265 for a name the query does not declare.
    void SetParameter(const QString& name, const QVariant& value);
    // Parameters the way the program passes them: decimal text.
    void SetParameterText(const QString& name, const QString& text);

    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrevious() override;
    qint64 RecordCount() override;
    void Requery() override;
    void SetBookmark(qint64 bookmark) override;

  private:
    bool MoveTo(std::ptrdiff_t index, int step);
    void BindParameters(sqlite::Statement& s) const;
    void AfterAdd(qint64 rowid) override;
    void AfterDelete() override;
    void DescribeColumns();

    QueryDef query_;
    TranslatedSql translated_;
    QVariantList parameters_;
    std::vector<qint64> keys_;                 // keyset: base row ids
    std::vector<std::vector<QVariant>> rows_;  // snapshot of a join
    std::ptrdiff_t index_ = -1;
};

}  // namespace dao
