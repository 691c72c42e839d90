#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

#include "desktop/exchange/record_layout.h"
#include "desktop/exchange/record_transport.h"
#include "platform/ce/ce_types.h"

namespace tandrel {

// The one way to the records of a handheld or a network device: property
// slots of one record kind, the current record, and the transport that
// stores them. Indexes are 0-based (property id = index + 1). An accessor
// whose index or type does not fit the kind reads 0 / empty and writes
// nothing.
class CHandheldRecord {
  public:
    static constexpr int kMaxProperties = 12;

    // `database`: the open handheld database of the kind (not used by the
    // device registry kind, nor on a network device).
    CHandheldRecord(RecordKind kind, RecordTransport& transport, ce::Handle database = 0);

    RecordKind Kind() const { return kind_; }
    int RecordType() const { return static_cast<int>(kind_); }
    bool OnNetwork() const { return transport_->IsNetwork(); }
    bool AlwaysUpdate() const { return AlwaysUpdates(kind_); }
    ce::Handle Database() const { return database_; }
    void SetDatabase(ce::Handle database) { database_ = database; }
    // The object id of the current record (0: none).
    ce::Oid CurrentOid() const { return oid_; }
    void SetCurrentOid(ce::Oid oid) { oid_ = oid; }

    QByteArray GetBlob(int index) const;
    void SetBlob(int index, const QByteArray& data);
    void SetBlob(int index, const void* data, int length);
    std::uint16_t GetUI2(int index) const;
    void SetUI2(int index, std::uint16_t value);
    std::uint32_t GetUI4(int index) const;
    void SetUI4(int index, std::uint32_t value);
    QString GetString(int index) const;
    void SetString(int index, const QString& text);

    // Mode 0: to the beginning; 1: first record whose key is greater than
    // or equal to the value in slot `index`; 2: first record whose key
    // equals it. True when a record was found.
    bool Seek(int mode, int index = 0);
    bool Delete();
    bool DeleteAll();
    // False at the end (LastError() ERROR_NO_MORE_ITEMS) and on failure;
    // the slots are unchanged then.
    bool Read();
    // A new record, or the current one rewritten in place.
    bool Write(bool isNew);

    // Whether the kind has a property at `index` of `dataType` (DataTypes).
    bool HasType(int index, int dataType) const;
    // Properties the storage holds (OS data: 2 on a handheld, 3 on a
    // network device).
    int PropertyCount() const;
    // The error of the last failed operation (0 after a success).
    std::uint32_t LastError() const { return lastError_; }

    // The stored properties as CE values, ids index + 1.
    ce::Record Properties() const;
    // Takes the values of `props` by property id; properties the record
    // lacks read 0 / empty.
    void SetProperties(const ce::Record& props);
    // Every slot to 0 / empty.
    void Clear();

  private:
    struct Slot {
        std::uint32_t number = 0;
        QString text;
        QByteArray blob;
    };
    // The slot at `index` when the kind's property there has `type`.
    const Slot* SlotOf(int index, std::uint16_t type) const;
    Slot* SlotOf(int index, std::uint16_t type);
    bool Done(std::uint32_t error);

    RecordKind kind_;
    RecordTransport* transport_;
    ce::Handle database_;
    ce::Oid oid_ = 0;
    std::uint32_t lastError_ = 0;
    std::array<Slot, kMaxProperties> slots_;
};

}  // namespace tandrel
