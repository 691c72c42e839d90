#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dao/database.h"
#include "platform/dao/recordset.h"

namespace tandrel {

// One member of a recordset class as bound: the column at `ordinal`, the
// column's name and the field type the member holds.
struct BoundField {
    int ordinal = 0;
    QString name;
    dao::FieldType type = dao::FieldType::Long;
};

// Moves values between a recordset's current row (or edit buffer) and the
// typed members of a recordset class. Null reads as 0, false, an empty text
// or an invalid date; a member is written back only when it changed (in a
// new row, numbers and flags always are). Describing moves nothing and
// lists the bindings.
class FieldExchange {
  public:
    enum class Direction { Load, Store, Describe };
    FieldExchange(dao::Recordset& rs, Direction direction, std::vector<QVariant>& loaded,
                  std::vector<BoundField>* described = nullptr)
        : rs_(rs), direction_(direction), loaded_(loaded), described_(described) {}

    void Field(int ordinal, const char* name, QString& member);
    void Field(int ordinal, const char* name, std::uint8_t& member);
    void Field(int ordinal, const char* name, std::int16_t& member);
    void Field(int ordinal, const char* name, std::int32_t& member);
    void Field(int ordinal, const char* name, bool& member);
    void Field(int ordinal, const char* name, QDateTime& member);

  private:
    template <typename T>
    void Exchange(int ordinal, const char* name, T& member);

    dao::Recordset& rs_;
    Direction direction_;
    std::vector<QVariant>& loaded_;
    std::vector<BoundField>* described_;
};

// The typed view of a recordset, as every table and query recordset class
// of the facility database uses it: each move fills the members, Update
// writes the members that changed.
template <typename Rs>
class CBoundRecordset {
  public:
    virtual ~CBoundRecordset() = default;

    bool IsOpen() const { return rs_ != nullptr; }
    Rs& Raw() { return *rs_; }
    bool IsBOF() const { return rs_->IsBOF(); }
    bool IsEOF() const { return rs_->IsEOF(); }
    bool HasCurrent() const { return rs_->HasCurrent(); }

    void MoveFirst() { Move(&Rs::MoveFirst); }
    void MoveLast() { Move(&Rs::MoveLast); }
    void MoveNext() { Move(&Rs::MoveNext); }
    void MovePrev() { Move(&Rs::MovePrevious); }
    void Requery() { Move(&Rs::Requery); }
    qint64 GetRecordCount() { return rs_->RecordCount(); }

    void AddNew() {
        rs_->AddNew();
        Load();
    }
    void Edit() {
        rs_->Edit();
        Load();
    }
    // Writes the changed members; the members then show the current row
    // again (after AddNew, the row that was current before it).
    void Update() {
        Store();
        rs_->Update();
        Load();
    }
    void CancelUpdate() {
        rs_->CancelUpdate();
        Load();
    }
    void Delete() {
        rs_->Delete();
        Load();
    }
    qint64 GetBookmark() const { return rs_->Bookmark(); }
    void SetBookmark(qint64 bookmark) {
        rs_->SetBookmark(bookmark);
        Load();
    }
    qint64 GetLastModifiedBookmark() const { return rs_->LastModified(); }

    // The members the class binds, in the order it exchanges them.
    std::vector<BoundField> BoundFields() {
        std::vector<BoundField> fields;
        FieldExchange fx(*rs_, FieldExchange::Direction::Describe, loaded_, &fields);
        DoFieldExchange(fx);
        return fields;
    }

  protected:
    virtual void DoFieldExchange(FieldExchange& fx) = 0;

    void Attach(std::unique_ptr<Rs> rs) {
        rs_ = std::move(rs);
        Load();
    }
    void Load() {
        FieldExchange fx(*rs_, FieldExchange::Direction::Load, loaded_);
        DoFieldExchange(fx);
    }
    void Store() {
        FieldExchange fx(*rs_, FieldExchange::Direction::Store, loaded_);
        DoFieldExchange(fx);
    }
    template <typename Fn>
    void Move(Fn fn) {
        ((*rs_).*fn)();
        Load();
    }

    std::unique_ptr<Rs> rs_;
    std::vector<QVariant> loaded_;
};

// A recordset class bound to one table of the facility database.
class CTableRecordset : public CBoundRecordset<dao::TableRecordset> {
  public:
    void SetCurrentIndex(const QString& index) {
        rs_->SetIndex(index);
        Load();
    }
    // Seeks on the current index; the members show the row found.
    bool Seek(const QString& comparison, const QVariantList& keys) {
        bool found = rs_->Seek(comparison, keys);
        Load();
        return found;
    }
    // Makes the row with this primary key current, on the primary index;
    // false when there is none.
    bool FindByKey(const QVariant& key) { return FindByKey(QVariantList{key}); }
    bool FindByKey(const QVariantList& key) {
        bool found = rs_->FindByKey(key);
        Load();
        return found;
    }

  protected:
    void Open(dao::Database& db, const QString& table) { Attach(db.OpenTable(table)); }
};

// A recordset class bound to a stored query with parameters.
class CQueryRecordset : public CBoundRecordset<dao::DynasetRecordset> {
  public:
    // Parameters are given as decimal text (a key, say); Requery() runs.
    void SetParam(const QString& name, const QString& decimalText) {
        rs_->SetParameterText(name, decimalText);
    }
    void SetParam(const QString& name, const QVariant& value) { rs_->SetParameter(name, value); }

  protected:
    void Open(dao::Database& db, const QString& query) { Attach(db.OpenQuery(query)); }
};

}  // namespace tandrel
