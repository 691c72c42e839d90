#include "desktop/exchange/lock_os_manager.h"

#include "desktop/exchange/exchange_errors.h"
#include "desktop/exchange/lock_os_texts.h"

namespace tandrel {
namespace {

namespace texts = lock_os_texts;

// A device registry a network device does not hold yet reads as empty: not
// enrolled, no OS.
bool ReadRegistry(CHandheldRecord& registry) {
    registry.Clear();
    if (!registry.Seek(0) && registry.LastError() != ce::ERROR_NO_DATA) return false;
    return registry.Read() || registry.LastError() == ce::ERROR_NO_MORE_ITEMS;
}

}  // namespace

CLockOsManager::CLockOsManager(const LockOsDevice& device, std::int32_t commCode,
                               Prompter& prompter, DeviceCheck isEnrolled)
    : commCode_(static_cast<std::uint32_t>(commCode)),
      prompter_(prompter),
      isEnrolled_(std::move(isEnrolled)),
      installer_(device, prompter),
      registry_(RecordKind::DeviceRegistry, *device.transport) {}

bool CLockOsManager::Open() {
    if (!ReadRegistry(registry_)) {
        prompter_.Message(ExchangeErrorText(static_cast<int>(registry_.LastError())),
                          PromptIcon::Stop, texts::kTitle);
        return false;
    }
    // Facility 0 is a device enrolled nowhere, whatever this facility's code.
    const std::uint32_t facility = registry_.GetUI4(REG_DATA_OFFSET_FACILITY);
    const std::uint32_t identity = registry_.GetUI4(REG_DATA_OFFSET_IDENTITY);
    if (facility == 0 || facility != commCode_ || (isEnrolled_ && !isEnrolled_(identity))) {
        prompter_.Message(texts::kNotEnrolled, PromptIcon::Stop, texts::kTitle);
        return false;
    }
    installed_ = registry_.GetString(REG_DATA_OFFSET_VERSION_LOS);
    return true;
}

QString CLockOsManager::InstalledText() const {
    return installed_.isEmpty() ? texts::kNoneInstalled : texts::kInstalledVersion.arg(installed_);
}

bool CLockOsManager::Install(const QString& path) {
    const LockOsInstallResult result = installer_.Install(path);
    if (result.ok) {
        const QString version = QString::fromStdString(protocol::LosVersionText(result.version));
        if (!RecordVersion(version)) return false;
        prompter_.Message(texts::kInstallSucceeded.arg(version), PromptIcon::Information,
                          texts::kTitle);
        return true;
    }
    // A file that could not be read left the device as it was.
    if (!result.deviceChanged) return false;
    // A partial OS must not stay behind: the handheld would load it.
    if (installer_.Remove() != 0) {
        prompter_.Message(texts::kRemoveFailed, PromptIcon::Stop, texts::kTitle);
    }
    RecordVersion({});
    return false;
}

bool CLockOsManager::Remove() {
    const PromptAnswer answer =
        prompter_.Ask(texts::kAskRemove.arg(installed_), PromptButtons::YesNo, PromptAnswer::No,
                      PromptIcon::Question);
    if (answer != PromptAnswer::Yes) return false;
    if (installer_.Remove() != 0) {
        prompter_.Message(texts::kRemoveFailed, PromptIcon::Stop, texts::kTitle);
        return false;
    }
    return RecordVersion({});
}

bool CLockOsManager::RecordVersion(const QString& version) {
    // Read again: the record keeps the other values as the device has them.
    if (ReadRegistry(registry_)) {
        registry_.SetString(REG_DATA_OFFSET_VERSION_LOS, version);
        if (registry_.Write(false)) {
            installed_ = version;
            return true;
        }
    }
    prompter_.Message(ExchangeErrorText(static_cast<int>(registry_.LastError())), PromptIcon::Stop,
                      texts::kTitle);
    return false;
}

}  // namespace tandrel
