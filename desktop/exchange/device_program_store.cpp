#include "desktop/exchange/device_program_store.h"

namespace tandrel {

namespace {

constexpr int kKey = PGM_DATA_OFFSET_LOCK_ADDRESS, kCommand = PGM_DATA_OFFSET_COMMAND,
              kPayload = PGM_DATA_OFFSET_DATA;
constexpr std::uint16_t kProgramStatusBits = 0x1F;  // of LMF_DATA_OFFSET_EXCHANGE_TIME

constexpr int kSeekBeginning = 0, kSeekAtLeast = 1, kSeekEqual = 2;

}  // namespace

DeviceProgramStore::DeviceProgramStore(RecordTransport& transport,
                                       const ExchangeDatabases& databases)
    : transport_(transport),
      programs_(RecordKind::Programming, transport, databases.pgm.handle),
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
    record.id = programs_.CurrentOid();
    return 0;
}

int DeviceProgramStore::DeleteLastRead() {
    return programs_.Delete() ? 0 : static_cast<int>(programs_.LastError());
}

int DeviceProgramStore::Delete(const ProgramRecord& record) {
    if (programs_.OnNetwork() || record.id == 0) return kErrRecordNotFound;
    programs_.SetCurrentOid(record.id);
    return DeleteLastRead();
}

int DeviceProgramStore::Flush() {
    return static_cast<int>(transport_.Flush());
}

int DeviceProgramStore::MarkNewLock(int lockAddress) {
    locks_.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(lockAddress));
    if (!locks_.Seek(kSeekEqual, LMF_DATA_OFFSET_LOCK_ADDRESS)) {
        const auto error = locks_.LastError();
        return error == ce::ERROR_NO_DATA ? 0 : static_cast<int>(error);
    }
    if (!locks_.Read()) return static_cast<int>(locks_.LastError());
    const std::uint16_t time = locks_.GetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME);
    locks_.SetUI2(
        LMF_DATA_OFFSET_EXCHANGE_TIME,
        static_cast<std::uint16_t>((time & ~kProgramStatusBits) | LMF_STATUS_CODE_NEW_LOCK));
    return locks_.Write(false) ? 0 : static_cast<int>(locks_.LastError());
}

}  // namespace tandrel
