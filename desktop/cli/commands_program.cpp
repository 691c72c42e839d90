#include <QSet>

#include "desktop/admin/lock_pending.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_handheld.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/device_rows.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_errors.h"
#include "desktop/exchange/exchange_texts.h"
#include "desktop/exchange/lock_programmer.h"
#include "desktop/exchange/lost_programming.h"
#include "desktop/exchange/program_collection.h"
#include "platform/dao/error.h"

namespace tandrel::cli {
namespace {

namespace texts = exchange_texts;

// The handheld the command names, enrolled in this facility, with the
// exchange's databases open.
class CradledHandheld {
  public:
    bool Connect(Context& c) {
        connector_ = HandheldConnector(c);
        device_ = connector_->Connect({}, c.prompter);
        DeviceIdentity identity;
        if (!device_ || ReadIdentity(device_->Transport(), identity) != 0) {
            c.prompter.Message(texts::kNoConnection, PromptIcon::Stop, {});
            return false;
        }
        // Another facility's handheld must neither book this facility's
        // locks nor take their programming.
        deviceKey_ = EnrolledDeviceKey(c.doc.Db(), identity);
        if (deviceKey_ == 0) {
            c.prompter.Message(device_texts::kNotEnrolled, PromptIcon::Stop, {});
            return false;
        }
        if (device_->Transport().OpenDatabases(databases_) != 0) {
            c.prompter.Message(texts::kNoDatabases, PromptIcon::Stop, {});
            return false;
        }
        open_ = true;
        return true;
    }
    ~CradledHandheld() {
        if (open_) device_->Transport().CloseDatabases(databases_);
    }
    int DeviceKey() const { return deviceKey_; }
    DeviceProgramStore Store() { return DeviceProgramStore(device_->Transport(), databases_); }

  private:
    std::unique_ptr<CradleConnector> connector_;
    std::unique_ptr<ConnectedDevice> device_;
    ExchangeDatabases databases_;
    int deviceKey_ = 0;
    bool open_ = false;
};

std::vector<int> NamedLocks(Context& c) {
    std::vector<int> keys;
    for (std::size_t i = 1; i < c.args.Words().size(); ++i)
        keys.push_back(LockKeyOf(c.doc, c.args.Word(i)));
    return keys;
}

// The named locks, or every lock of the device waiting for programming;
// empty after saying that a named lock is not the device's.
std::vector<int> LocksToProgram(Context& c, const std::vector<int>& named, int deviceKey) {
    QSet<int> served;
    std::vector<int> waiting;
    auto locks = LocksOfDevice(c.doc.Db(), deviceKey);
    for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
        served.insert(locks->m_LockKey);
        if (NormalisedPendingCounter(locks->m_PendingActionCounter, locks->m_DataDownloadedFlag) ==
            2)
            waiting.push_back(locks->m_LockKey);
    }
    if (named.empty()) return waiting;
    for (int lock : named) {
        if (served.contains(lock)) continue;
        c.prompter.Message(QStringLiteral("Lock %1 is not served by this device.").arg(lock),
                           PromptIcon::Stop, {});
        return {};
    }
    return named;
}

// Reports a failed run or collection the way the exchange dialog does.
int Failed(Context& c, int error) {
    if (error != kErrShown) c.prompter.Message(ExchangeErrorText(error), PromptIcon::Stop, {});
    return 1;
}

int Program(Context& c) {
    if (!c.OpenFacility()) return 1;
    const std::vector<int> named = NamedLocks(c);
    CradledHandheld handheld;
    if (!handheld.Connect(c)) return 1;
    DeviceProgramStore store = handheld.Store();
    auto progress = c.prompter.StartProgress(texts::kTitle, {}, 0);
    try {
        // A lock whose records were lost is waiting again, and taken.
        if (int error = RequeueLostProgramming(c.doc.Db(), store, handheld.DeviceKey()))
            return Failed(c, error);
        const std::vector<int> locks = LocksToProgram(c, named, handheld.DeviceKey());
        if (locks.empty() && !named.empty()) return 1;
        LockProgrammer programmer(c.doc.Db(), store, c.prompter);
        const int error = programmer.Run(locks, *progress);
        c.out << programmer.LocksProgrammed() << " lock(s) programmed\n";
        return error == 0 ? 0 : Failed(c, error);
    } catch (const dao::Error&) {
        c.prompter.Message(texts::kDatabaseError, PromptIcon::Stop, {});
        return 1;
    }
}

int Collect(Context& c) {
    if (!c.OpenFacility()) return 1;
    CradledHandheld handheld;
    if (!handheld.Connect(c)) return 1;
    DeviceProgramStore store = handheld.Store();
    auto progress = c.prompter.StartProgress(texts::kTitle, {}, 0);
    ProgramCollector collector(c.doc.Db(), store, c.prompter);
    if (collector.Collect(*progress) == 0 &&
        RequeueLostProgramming(c.doc.Db(), store, handheld.DeviceKey()) == 0)
        return 0;
    c.prompter.Message(texts::kCollectFailed, PromptIcon::Stop, {});
    return 1;
}

}  // namespace

void AddProgrammingCommands(CommandTable& table) {
    const Option handheld = {"--handheld", "STORE", "the handheld's store", kRequired};
    table.Add({.name = "program",
               .verbs = {{.operands = "[LOCK...]",
                          .summary = "queue the programming of the handheld's locks (default: "
                                     "every one waiting for it) on its store",
                          .options = {handheld},
                          .run = Program}}});
    table.Add({.name = "collect",
               .verbs = {{.summary = "book the programming a handheld's locks confirmed and "
                                     "remove it from the store",
                          .options = {handheld},
                          .run = Collect}}});
}

}  // namespace tandrel::cli
