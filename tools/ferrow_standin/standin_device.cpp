#include "tools/ferrow_standin/standin_device.h"

#include <limits>

#include "protocol/packed_date.h"

namespace ferrow_standin {
namespace {

using tandrel::CHandheldRecord;

constexpr int kSeekAtLeast = 1, kSeekEqual = 2;
constexpr std::uint16_t kDelivered = 0x8000;
constexpr int kLockAddressProperty = 0, kBlockProperty = 1;  // TDXLAF

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

}  // namespace

StandinDevice::StandinDevice(tandrel::RecordTransport& transport,
                             const tandrel::ExchangeDatabases& databases)
    : programs_(tandrel::RecordKind::Programming, transport, databases.pgm.handle),
      locks_(tandrel::RecordKind::EnrolledLock, transport, databases.lmf.handle),
      audit_(tandrel::RecordKind::Audit, transport, databases.laf.handle) {}

std::uint32_t StandinDevice::Apply(const Step& step, std::string& done) {
    return std::visit(
        Overloaded{
            [&](const Visit& v) { return ApplyVisit(v, done); },
            [&](const Guest& g) {
                done = "guest " + std::to_string(g.lockAddress) + ": guest record written";
                return ApplyGuest(g.lockAddress, g.when.value_or(protocol::LocalNow()), g.report);
            },
            [&](const AuditRecord& a) {
                done = "audit " + std::to_string(a.lockAddress) + ": " +
                       std::to_string(a.block.size()) + " bytes written";
                return WriteAudit(a.lockAddress, a.block);
            },
        },
        step);
}

// As the handheld does at a lock: a lock it has no entry for is a guest and
// gets a guest record; any other gets its programming and the exchange in
// its entry.
std::uint32_t StandinDevice::ApplyVisit(const Visit& visit, std::string& done) {
    const protocol::CivilDateTime when = visit.when.value_or(protocol::LocalNow());
    const std::string lock = "visit " + std::to_string(visit.lockAddress) + ": ";
    bool enrolled = false;
    if (std::uint32_t error = FindLock(visit.lockAddress, enrolled)) return error;
    if (!enrolled) {
        done = lock + "not enrolled on the handheld, guest record written";
        return ApplyGuest(visit.lockAddress, when, visit.report);
    }
    int delivered = 0;
    const int limit = visit.deliver.value_or(std::numeric_limits<int>::max());
    if (std::uint32_t error = Deliver(visit.lockAddress, limit, delivered)) return error;
    done = lock + std::to_string(delivered) + " programming records delivered, exchange recorded";
    return RecordExchange(when, visit.report);
}

std::uint32_t StandinDevice::ApplyGuest(int lockAddress, const protocol::CivilDateTime& when,
                                        const LockReport& report) {
    protocol::Bytes block = protocol::EncodeAuditBlock(0, {StatusEntry(report, when)});
    return WriteAudit(lockAddress, block);
}

std::uint32_t StandinDevice::WriteAudit(int lockAddress, const protocol::Bytes& block) {
    audit_.SetUI2(kLockAddressProperty, static_cast<std::uint16_t>(lockAddress));
    audit_.SetBlob(kBlockProperty, block.data(), static_cast<int>(block.size()));
    return audit_.Write(true) ? 0 : audit_.LastError();
}

// Marks the lock's undelivered records delivered, in queue order, up to
// `limit` of them, stopping where the handheld would: at a delivered record
// or another lock's.
std::uint32_t StandinDevice::Deliver(int lockAddress, int limit, int& delivered) {
    programs_.SetUI4(tandrel::PGM_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint32_t>(lockAddress)
                                                                << 16);
    if (!programs_.Seek(kSeekAtLeast, tandrel::PGM_DATA_OFFSET_LOCK_ADDRESS)) {
        return programs_.LastError() == ce::ERROR_NO_DATA ? 0 : programs_.LastError();
    }
    bool started = false;
    while (delivered < limit && programs_.Read()) {
        if (static_cast<int>(programs_.GetUI4(tandrel::PGM_DATA_OFFSET_LOCK_ADDRESS) >> 16) !=
            lockAddress)
            return 0;
        const std::uint16_t command = programs_.GetUI2(tandrel::PGM_DATA_OFFSET_COMMAND);
        if (command & kDelivered) {
            if (started) return 0;
            continue;
        }
        started = true;
        programs_.SetUI2(tandrel::PGM_DATA_OFFSET_COMMAND, command | kDelivered);
        if (!programs_.Write(false)) return programs_.LastError();
        ++delivered;
    }
    const std::uint32_t error = programs_.LastError();
    return error == ce::ERROR_NO_MORE_ITEMS ? 0 : error;
}

// Positions the enrolled-lock records on the lock's entry and reads it.
std::uint32_t StandinDevice::FindLock(int lockAddress, bool& found) {
    locks_.SetUI2(tandrel::LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(lockAddress));
    found = locks_.Seek(kSeekEqual, tandrel::LMF_DATA_OFFSET_LOCK_ADDRESS);
    if (!found) return locks_.LastError() == ce::ERROR_NO_DATA ? 0 : locks_.LastError();
    return locks_.Read() ? 0 : locks_.LastError();
}

// The entry read by FindLock takes the exchange: date and time words with
// the status "programmed", and what the lock reported.
std::uint32_t StandinDevice::RecordExchange(const protocol::CivilDateTime& when,
                                            const LockReport& report) {
    using namespace tandrel;
    locks_.SetUI2(LMF_DATA_OFFSET_EXCHANGE_DATE, protocol::PackDate(when));
    locks_.SetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME,
                  protocol::PackTimeWord(when.hour, when.minute, LMF_STATUS_CODE_PROGRAMMED));
    if (report.millivolts) locks_.SetUI2(LMF_DATA_OFFSET_BATTERY_LEVEL, *report.millivolts);
    if (report.hardwareClass) locks_.SetUI2(LMF_DATA_OFFSET_HARDWARE_CLASS, *report.hardwareClass);
    if (report.firmwareVersion) locks_.SetUI2(LMF_DATA_OFFSET_VERSION, *report.firmwareVersion);
    if (report.driveCount) locks_.SetUI4(LMF_DATA_OFFSET_DRIVE_COUNT, *report.driveCount);
    if (report.cardCount) locks_.SetUI4(LMF_DATA_OFFSET_CARD_COUNT, *report.cardCount);
    return locks_.Write(false) ? 0 : locks_.LastError();
}

}  // namespace ferrow_standin
