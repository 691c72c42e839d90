#include "desktop/exchange/audit_collection.h"

#include <QDateTime>

#include <algorithm>

#include "desktop/exchange/audit_texts.h"
#include "desktop/exchange/network_transport.h"
#include "platform/dao/error.h"
#include "platform/dao/value.h"

namespace tandrel {
namespace {

constexpr int kLockAddress = 0, kBlock = 1;  // TDXLAF properties
constexpr int kSeekBeginning = 0;
constexpr qint64 kSecondsPerDay = 86400;
// Blocks whose rows a handheld collection commits at once.
constexpr std::size_t kBlocksPerCommit = 256;
// The user key of events no user slot caused.
constexpr int kSystemUser = 1;

// A moment as Date/Time columns store it (whole seconds from 1970 on the
// same wall clock), without building a QDateTime per event.
qint64 StorageSeconds(const protocol::CivilDateTime& t) {
    static const qint64 kEpochDay = QDate(1970, 1, 1).toJulianDay();
    const qint64 day = QDate(t.year, t.month, t.day).toJulianDay() - kEpochDay;
    return day * kSecondsPerDay + t.hour * 3600 + t.minute * 60;
}

const std::string kInsertEvent =
    "INSERT OR IGNORE INTO \"Audit Data\" (\"LockKey\", \"AuditKey\", \"UserKey\", \"Event\", "
    "\"TimeStamp\", \"AccessLevel\", \"UserGroups\") VALUES (?, ?, ?, ?, ?, ?, ?)";
const std::string kSlotUser =
    "SELECT \"User Index\" FROM \"Users to Locks\" WHERE \"Lock Index\" = ? AND \"Lock User "
    "Index\" = ?";

// A lock status counts as its newest only when it is at most a day ahead
// of this computer's clock.
qint64 LatestStatusSeconds() {
    return dao::DateTimeToStorage(QDateTime::currentDateTime()) + kSecondsPerDay;
}

}  // namespace

AuditCollector::AuditCollector(dao::Database& db, RecordTransport& transport,
                               const ExchangeDatabases& databases, Prompter& prompter)
    : db_(db),
      prompter_(prompter),
      blocks_(RecordKind::Audit, transport, databases.laf.handle),
      blockCount_(databases.laf.recordCount),
      currentYear_(QDate::currentDate().year()),
      latestStatus_(LatestStatusSeconds()) {}

int AuditCollector::Collect(Progress& progress) {
    try {
        return CollectBlocks(progress);
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation);
        return e.Number();
    } catch (const std::exception& e) {
        prompter_.Message(QString::fromLocal8Bit(e.what()), PromptIcon::Exclamation);
        return kErrOtherFailure;
    }
}

int AuditCollector::CollectBlocks(Progress& progress) {
    progress.SetText(audit_texts::kCollecting);
    const bool network = blocks_.OnNetwork();
    const int range = network ? 50 : 10 * static_cast<int>(blockCount_) + 10;
    const int step = network ? 1 : 10;
    progress.SetRange(range);
    int position = 0;
    lowBatteries_ = 0;

    if (!blocks_.Seek(kSeekBeginning)) {
        const auto error = blocks_.LastError();
        return error == ce::ERROR_NO_DATA ? 0 : static_cast<int>(error);
    }
    // On a handheld the blocks' rows commit a batch at a time and the
    // batch's blocks are deleted after the commit; a network device can
    // only delete the block just read.
    std::optional<dao::Transaction> batch;
    std::vector<ce::Oid> imported;
    while (blocks_.Read()) {
        if (!network && !batch) batch.emplace(db_);
        const int lockAddress = blocks_.GetUI2(kLockAddress);
        try {
            if (lockAddress != 0) ImportBlock(lockAddress, blocks_.GetBlob(kBlock));
        } catch (const dao::Error&) {
            // The blocks before this one are kept and done with.
            if (batch) DeleteImported(batch, imported);
            throw;
        }
        if (network) {
            if (!blocks_.Delete()) return static_cast<int>(NetworkTransport::kErrorRefused);
        } else {
            imported.push_back(blocks_.CurrentOid());
        }
        if (batch && imported.size() >= kBlocksPerCommit) {
            if (int error = DeleteImported(batch, imported)) return error;
        }
        if (lowBatteries_ > 0)
            prompter_.Message(audit_texts::kLowBatteries, PromptIcon::Exclamation);
        position = std::min(position + step, range);
        progress.SetPosition(position);
    }
    // What was imported is kept even when the device failed under the
    // reading.
    const auto error = blocks_.LastError();
    if (int deleted = batch ? DeleteImported(batch, imported) : 0) return deleted;
    return error == ce::ERROR_NO_MORE_ITEMS ? 0 : static_cast<int>(error);
}

// Commits the batch's rows, then deletes its blocks from the handheld. A
// block whose delete fails is imported again next time, and adds nothing.
int AuditCollector::DeleteImported(std::optional<dao::Transaction>& batch,
                                   std::vector<ce::Oid>& imported) {
    batch->Commit();
    batch.reset();
    const ce::Oid reading = blocks_.CurrentOid();
    for (ce::Oid oid : imported) {
        blocks_.SetCurrentOid(oid);
        if (!blocks_.Delete()) return static_cast<int>(blocks_.LastError());
    }
    blocks_.SetCurrentOid(reading);
    imported.clear();
    return 0;
}

// The block's rows and status commit together, before the block is
// deleted: a failure leaves the block for the next collection, which skips
// what is stored already.
void AuditCollector::ImportBlock(int lockAddress, const QByteArray& data) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const protocol::AuditBlock block =
        protocol::DecodeAuditBlock({bytes, static_cast<std::size_t>(data.size())});
    if (block.items.empty()) return;
    slotUsers_.clear();
    dao::Transaction transaction(db_);
    insertEvent_ = &db_.Connection().Cached(kInsertEvent);
    for (const protocol::AuditItem& item : block.items) {
        if (const auto* event = std::get_if<protocol::AuditEvent>(&item)) {
            if (event->Kept()) AddEvent(lockAddress, *event);
        } else {
            ApplyStatus(lockAddress, std::get<protocol::AuditStatus>(item));
        }
    }
    transaction.Commit();
}

void AuditCollector::ApplyStatus(int lockAddress, const protocol::AuditStatus& status) {
    const std::optional<protocol::CivilDateTime> when =
        protocol::AuditStatusTime(status, currentYear_);
    if (!when) return;
    const qint64 stamp = StorageSeconds(*when);
    if (stamp > latestStatus_) return;
    auto& lock =
        db_.Connection().Cached("SELECT \"Last Program Date\" FROM Locks WHERE \"Lock Key\" = ?");
    lock.BindInt(1, lockAddress);
    const bool found = lock.Step();
    const bool newer = found && (lock.IsNull(0) || stamp > lock.Int(0));
    lock.Reset();
    if (!newer) return;
    // The columns are signed: the lock's unsigned numbers keep their bits.
    auto& update = db_.Connection().Cached(
        "UPDATE Locks SET \"Supply Volts\" = ?, \"Hardware Class\" = ?, \"Firmware Version\" = ?, "
        "\"Drive Usage Counter\" = ?, \"Card Swipe Counter\" = ?, \"Last Program Date\" = ? "
        "WHERE \"Lock Key\" = ?");
    update.BindInt(1, static_cast<std::int16_t>(status.supplyMillivolts));
    update.BindInt(2, static_cast<std::int16_t>(status.hardwareClass));
    update.BindInt(3, static_cast<std::int16_t>(status.firmwareVersion));
    update.BindInt(4, static_cast<std::int32_t>(status.driveCount));
    update.BindInt(5, static_cast<std::int32_t>(status.cardCount));
    update.BindInt(6, stamp);
    update.BindInt(7, lockAddress);
    update.Run();
    update.Reset();
    if (status.supplyMillivolts < kLowBatteryMillivolts) ++lowBatteries_;
}

// An event the lock logged once is stored once: the primary key (lock,
// audit key) turns a second copy away.
void AuditCollector::AddEvent(int lockAddress, const protocol::AuditEvent& event) {
    auto& insert = *insertEvent_;
    insert.BindInt(1, lockAddress);
    insert.BindInt(2, static_cast<std::int32_t>(event.auditKey));
    insert.BindInt(3, UserKeyOf(lockAddress, event.lockUserIndex));
    insert.BindInt(4, event.type);
    // A moment the lock's clock cannot have shown is left unknown rather
    // than guessed.
    if (const auto when = protocol::AuditEventTime(event, currentYear_))
        insert.BindInt(5, StorageSeconds(*when));
    insert.BindInt(6, event.accessLevel);
    insert.BindInt(7, event.userGroups);
    insert.Run();
    insert.Reset();
}

// The user enrolled in the lock's slot; 0 when the slot is empty.
int AuditCollector::UserKeyOf(int lockAddress, int lockUserIndex) {
    if (lockUserIndex == protocol::kAuditNoUserSlot) return kSystemUser;
    if (auto it = slotUsers_.find(lockUserIndex); it != slotUsers_.end()) return it->second;
    auto& user = db_.Connection().Cached(kSlotUser);
    user.BindInt(1, lockAddress);
    user.BindInt(2, lockUserIndex);
    const int key = user.Step() ? static_cast<int>(user.Int(0)) : 0;
    user.Reset();
    slotUsers_.emplace(lockUserIndex, key);
    return key;
}

}  // namespace tandrel
