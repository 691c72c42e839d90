#include "desktop/exchange/lock_os_install.h"

#include <memory>
#include <optional>

#include "desktop/exchange/exchange_databases.h"
#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/lock_os_blocks.h"
#include "desktop/exchange/lock_os_file.h"
#include "desktop/exchange/lock_os_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

namespace texts = lock_os_texts;

// Ends an install with its message.
struct Failure {
    QString text;
    PromptIcon icon = PromptIcon::Information;
};

QString VersionText(protocol::LosVersion version) {
    return QString::fromStdString(protocol::LosVersionText(version));
}

QString WriteErrorText(std::uint32_t error) {
    switch (error) {
        case ce::ERROR_INVALID_PARAMETER: return texts::kInvalidParameter;
        case ce::ERROR_DISK_FULL: return texts::kMemoryFull;
        default: return texts::kUnknownWriteError;
    }
}

QByteArray ToByteArray(const protocol::Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// One install: the file, the device's OS data and the progress window.
class InstallRun {
  public:
    InstallRun(const LockOsDevice& device, Progress& progress)
        : device_(device), progress_(progress) {}
    ~InstallRun() {
        if (handle_ != 0) device_.handheld->CloseHandle(handle_);
    }

    void Run(const QString& path, LockOsInstallResult& result) {
        LockOsFile file(path);
        const qint64 rows = file.RowCount();
        progress_.SetText(texts::kConnecting);
        result.deviceChanged = true;
        ClearDevice();
        if (rows == 0) throw Failure{texts::kFileEmpty};
        result.version = VersionOf(file);
        progress_.SetText(texts::kInstalling.arg(VersionText(result.version)));
        progress_.SetRange(static_cast<int>(OnNetwork() ? rows * 3 / 2 : rows));
        CopyRows(file);
        if (OnNetwork()) WriteBlocks();
        result.ok = true;
    }

  private:
    bool OnNetwork() const { return device_.handheld == nullptr; }
    void Step() { progress_.SetPosition(++position_); }

    // The old OS goes first, so that a device never holds two.
    void ClearDevice() {
        if (OnNetwork()) {
            CHandheldRecord record(RecordKind::OsData, *device_.transport);
            if (!record.DeleteAll()) throw Failure{texts::kUpdateFailure};
            return;
        }
        ce::Api& device = *device_.handheld;
        std::uint32_t error = DeleteLockOsDatabase(device);
        ce::Oid oid = 0;
        if (error == 0) error = CreateHandheldDatabase(device, HandheldDatabase::TDXLOS, oid);
        const ce::PropId sort = DefinitionOf(HandheldDatabase::TDXLOS).sortOrders.front().propId;
        if (error == 0) error = device.OpenDatabase(oid, {}, sort, ce::CEDB_AUTOINCREMENT, handle_);
        if (error != 0) throw Failure{texts::kCreateFailed};
    }

    // The first line's first two data bytes. A first line that does not
    // decode would fail the copy anyway; one too short to hold a version is
    // refused rather than read past its end.
    static protocol::LosVersion VersionOf(LockOsFile& file) {
        LockOsRow first;
        file.Next(first);
        file.Rewind();
        const std::optional<protocol::LosLine> line =
            protocol::DecodeLosLine(first.pgmData.toStdString());
        if (!line) throw Failure{texts::kChecksumMismatch};
        const std::optional<protocol::LosVersion> version = protocol::LosVersionOf(*line);
        if (!version) throw Failure{texts::kNoVersion};
        return *version;
    }

    void CopyRows(LockOsFile& file) {
        for (LockOsRow row; file.Next(row);) {
            const auto platform = static_cast<std::uint32_t>(row.platformRcd);
            const std::optional<protocol::Bytes> record =
                protocol::LosRecordOf(row.pgmData.toStdString(), platform);
            if (!record) throw Failure{texts::kChecksumMismatch};
            if (OnNetwork()) {
                buffer_ += ToByteArray(*record);
            } else {
                WriteRecord(platform, ToByteArray(*record));
            }
            lastPlatform_ = platform;
            Step();
        }
    }

    void WriteRecord(std::uint32_t platform, const QByteArray& data) {
        CHandheldRecord record(RecordKind::OsData, *device_.transport, handle_);
        record.SetUI4(LOS_DATA_OFFSET_FACILITY, platform);
        record.SetBlob(LOS_DATA_OFFSET_DATA, data);
        if (!record.Write(true)) throw Failure{WriteErrorText(record.LastError())};
    }

    void WriteBlocks() {
        const std::optional<std::vector<OsBlock>> blocks = CutOsBlocks(buffer_);
        if (!blocks) throw Failure{texts::kUpdateFailure};
        CHandheldRecord record(RecordKind::OsData, *device_.transport);
        for (const OsBlock& block : *blocks) {
            record.SetUI4(LOS_DATA_OFFSET_FACILITY, lastPlatform_);
            record.SetBlob(LOS_DATA_OFFSET_DATA, block.data);
            record.SetUI4(LOS_DATA_OFFSET_BLOCK_NUMBER, block.number);
            if (!record.Write(true)) throw Failure{texts::kUpdateFailure};
            Step();
        }
    }

    LockOsDevice device_;
    Progress& progress_;
    ce::Handle handle_ = 0;
    QByteArray buffer_;
    std::uint32_t lastPlatform_ = 0;
    int position_ = 0;
};

}  // namespace

std::uint32_t DeleteLockOsDatabase(ce::Api& device) {
    ce::Oid oid = 0;
    ce::Handle handle = 0;
    const QString name = QString::fromLatin1(DefinitionOf(HandheldDatabase::TDXLOS).name);
    std::uint32_t error = device.OpenDatabase(oid, name, 0, 0, handle);
    // Not there is removed already; any other failure is the device's.
    if (error == ce::ERROR_FILE_NOT_FOUND) return 0;
    if (error != 0) return error;
    device.CloseHandle(handle);
    return device.DeleteDatabase(oid);
}

LockOsInstallResult LockOsInstaller::Install(const QString& path) {
    LockOsInstallResult result;
    std::unique_ptr<Progress> progress = prompter_.StartProgress(lock_os_texts::kTitle, {}, 0);
    std::optional<Failure> failure;
    try {
        InstallRun(device_, *progress).Run(path, result);
    } catch (const Failure& f) {
        failure = f;
    } catch (const dao::Error& e) {
        failure = Failure{e.Description(), PromptIcon::Stop};
    }
    progress.reset();
    if (failure) {
        result.ok = false;
        prompter_.Message(failure->text, failure->icon, lock_os_texts::kTitle);
    }
    return result;
}

std::uint32_t LockOsInstaller::Remove() {
    std::unique_ptr<Progress> progress =
        prompter_.StartProgress(lock_os_texts::kTitle, lock_os_texts::kRemoving, 0);
    if (device_.handheld) return DeleteLockOsDatabase(*device_.handheld);
    CHandheldRecord record(RecordKind::OsData, *device_.transport);
    if (!record.Seek(0) && record.LastError() != ce::ERROR_NO_DATA) return record.LastError();
    return record.DeleteAll() ? 0 : record.LastError();
}

}  // namespace tandrel
