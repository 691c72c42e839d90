#include "desktop/exchange/device_program_store.h"

namespace tandrel {

namespace {

// Program data record properties, by index.
constexpr int kKey = 0, kCommand = 1, kPayload = 2;
// Enrolled-lock record: the lock address and the exchange time word whose
// bits 0-4 hold the program status.
constexpr int kLockAddress = 0, kExchangeTime = 7;
constexpr std::uint16_t kProgramStatusBits = 0x1F;  // LMF_STATUS_CODE_NEW_LOCK is 0

constexpr int kSeekAtLeast = 1, kSeekEqual = 2, kSeekBeginning = 0;

}  // namespace

DeviceProgramStore::DeviceProgramStore(RecordTransport& transport,
                                       const ExchangeDatabases& databases)
    : programs_(RecordKind::Programming, transport, databases.pgm.handle),
      locks_(RecordKind::EnrolledLock, transport, databases.lmf.handle),
      recordCount_(databases.pgm.recordCount) {}

int DeviceProgramStore::Append(const ProgramRecord& record) {
    programs_.SetUI4(kKey, record.key);
    programs_.SetUI2(kCommand, record.command);
    programs_.SetBlob(kPayload, record.payload.data(), static_cast<int>(record.payload.size()));
    if (programs_.Write(true)) return 0;
    return programs_.OnNetwork() ? kErrNetworkQueue : static_cast<int>(programs_.LastError());
}

int DeviceProgramStore::SeekAtLeast(std::uint32_t key) {
    programs_.SetUI4(kKey, key);
    return programs_.Seek(kSeekAtLeast, kKey) ? 0 : static_cast<int>(programs_.LastError());
}

int DeviceProgramStore::SeekFirst() {
    return programs_.Seek(kSeekBeginning) ? 0 : static_cast<int>(programs_.LastError());
}

int DeviceProgramStore::ReadNext(ProgramRecord& record) {
    if (!programs_.Read()) return static_cast<int>(programs_.LastError());
    record.key = programs_.GetUI4(kKey);
    record.command = programs_.GetUI2(kCommand);
    const QByteArray payload = programs_.GetBlob(kPayload);
    record.payload.assign(payload.begin(), payload.end());
    return 0;
}

int DeviceProgramStore::DeleteLastRead() {
    return programs_.Delete() ? 0 : static_cast<int>(programs_.LastError());
}

int DeviceProgramStore::MarkNewLock(int lockAddress) {
    locks_.SetUI2(kLockAddress, static_cast<std::uint16_t>(lockAddress));
    if (!locks_.Seek(kSeekEqual, kLockAddress)) {
        const auto error = locks_.LastError();
        return error == ce::ERROR_NO_DATA ? 0 : static_cast<int>(error);
    }
    if (!locks_.Read()) return static_cast<int>(locks_.LastError());
    locks_.SetUI2(kExchangeTime, locks_.GetUI2(kExchangeTime) & ~kProgramStatusBits);
    return locks_.Write(false) ? 0 : static_cast<int>(locks_.LastError());
}

}  // namespace tandrel
