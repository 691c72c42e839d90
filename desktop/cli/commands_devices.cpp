#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/facility_directory.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_handheld.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/data/facility_states.h"
#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_address.h"
#include "desktop/exchange/device_list.h"
#include "desktop/exchange/device_properties.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_dialog_model.h"

namespace tandrel::cli {
namespace {

// The exchange with the handheld the command names.
class CliExchange {
  public:
    explicit CliExchange(Context& c, bool makeMissingStore = false)
        : connector_(HandheldConnector(c, makeMissingStore)),
          exchange_(c.doc.Db(), *connector_, c.prompter) {}

    DataExchange& operator*() { return exchange_; }
    DataExchange* operator->() { return &exchange_; }

  private:
    std::unique_ptr<CradleConnector> connector_;
    DataExchange exchange_;
};

QJsonObject DeviceJson(const DeviceListRow& row) {
    return {{"key", row.key},
            {"name", row.name},
            {"description", row.description},
            {"assignedTo", row.assignedTo},
            {"version", row.version},
            {"type", row.type},
            {"status", DeviceStatusText(row.status)}};
}

int List(Context& c) {
    QJsonArray json;
    for (const DeviceListRow& row : DeviceList(c.doc.Db())) {
        if (c.Json()) {
            json.append(DeviceJson(row));
            continue;
        }
        c.out << row.key << "\t" << row.name.toStdString() << "\t" << row.type.toStdString() << "\t"
              << DeviceStatusText(row.status).toStdString() << "\t" << row.version.toStdString()
              << "\n";
    }
    if (c.Json()) c.out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
}

int Add(Context& c) {
    auto sheet = DevicePropertiesSheet::NewNetworkDevice(c.doc.Db(), c.prompter);
    sheet->name = c.args.Word(2);
    sheet->description = c.args.Text("--description");
    sheet->assignedTo = c.args.Text("--assigned-to");
    sheet->ipAddress = c.args.Text("--address");
    sheet->port = c.args.Number("--port", kDefaultDevicePort, 1, 65535);
    if (!sheet->Save()) return 1;
    c.out << sheet->DeviceKey() << "\n";
    return 0;
}

int Enrol(Context& c) {
    CliExchange exchange(c, true);
    const bool again = c.args.Has("--device");
    if (again) exchange->ForDevice(DeviceKeyOf(c.doc, c.args.Text("--device")));
    const int key = exchange->Enrol(!again);
    if (key == 0) return 1;
    c.out << key << "\n";
    return 0;
}

// The locks the words from `first` on name: locks, or every lock below a
// location.
std::vector<int> LocksNamed(Context& c, std::size_t first) {
    std::vector<int> keys;
    FacilityDirectory tree(c.doc, c.prompter);
    for (std::size_t i = first; i < c.args.Words().size(); ++i) {
        const QString word = c.args.Word(i);
        if (!IsLocationPath(word)) {
            keys.push_back(LockKeyOf(c.doc, word));
            continue;
        }
        if (!tree.Load()) throw UsageError("the location tree cannot be read");
        for (int lock : tree.LocksUnder(LocationKeyOf(c.doc, word))) keys.push_back(lock);
    }
    if (keys.empty()) throw UsageError("name at least one lock or location");
    return keys;
}

int Assign(Context& c, bool add) {
    const int device = DeviceKeyOf(c.doc, c.args.Word(2));
    auto sheet = DevicePropertiesSheet::Open(c.doc.Db(), c.prompter, device);
    if (!sheet) throw LookupError("no such device");
    if (sheet->ReadOnly()) {
        c.prompter.Message(QStringLiteral("The device is pending removal: no edits"),
                           PromptIcon::Stop, {});
        return 1;
    }
    for (int lock : LocksNamed(c, 3)) {
        if (!add) {
            sheet->RemoveLock(lock);
        } else if (!sheet->AddLock(lock)) {
            c.prompter.Message(QStringLiteral("Lock %1 is served by another device").arg(lock),
                               PromptIcon::Stop, {});
            return 1;
        }
    }
    return sheet->Save() ? 0 : 1;
}

int Delete(Context& c) {
    CliExchange exchange(c);
    return DeleteDevice(c.doc.Db(), *exchange, c.prompter, DeviceKeyOf(c.doc, c.args.Word(2))) ? 0
                                                                                               : 1;
}

int Restore(Context& c) {
    const int device = DeviceKeyOf(c.doc, c.args.Word(2));
    CMobileDevicesRecordset devices(c.doc.Db());
    if (devices.FindByKey(device) && devices.m_RecordState != kDevicePendingRemoval)
        throw UsageError("the device is not pending removal");
    return RestoreDevice(c.doc.Db(), c.prompter, device) ? 0 : 1;
}

// Every device verb works on the open facility.
Handler OnFacility(Handler run) {
    return [run](Context& c) { return c.OpenFacility() ? run(c) : 1; };
}

// Marks the locks --program names ("all", or names and keys separated by
// commas) in the dialog's tree.
void ChooseLocks(Context& c, ExchangeDialogModel& dialog) {
    const QString chosen = c.args.Text("--program");
    if (chosen.compare(QStringLiteral("all"), Qt::CaseInsensitive) == 0) return;
    dialog.ClearSelection(false, 0);
    for (const QString& name : chosen.split(',', Qt::SkipEmptyParts))
        dialog.Select(true, LockKeyOf(c.doc, name.trimmed()));
}

int ExchangeCommand(Context& c) {
    if (!c.OpenFacility()) return 1;
    CliExchange exchange(c);
    const int wanted = c.args.Words().size() > 1 ? DeviceKeyOf(c.doc, c.args.Word(1)) : 0;
    ExchangeDialogModel dialog(c.doc.Db(), *exchange, c.prompter);
    dialog.Open(wanted);
    if (const int removed = exchange->RemovedDevice()) {
        c.out << "device " << removed << " removed from the facility\n";
        return 0;
    }
    if (!exchange->Connected()) return 1;
    if (wanted != 0 && exchange->DeviceKey() != wanted) {
        c.prompter.Message(device_texts::kNotConnected, PromptIcon::Stop, {});
        return 1;
    }
    c.out << dialog.Title().toStdString() << "\n";
    if (!c.args.Has("--program")) return 0;
    ChooseLocks(c, dialog);
    const std::vector<int> locks = dialog.MarkedLocks();
    if (locks.empty()) return 0;
    const int error = dialog.Program();
    c.out << exchange->LocksProgrammed() << " lock(s) programmed\n";
    return error == 0 ? 0 : 1;
}

const Option kHandheld = {"--handheld", "STORE", "the handheld's store (default: the cradle)"};

}  // namespace

void AddDeviceCommands(CommandTable& table) {
    table.Add({
        .name = "device",
        .verbs =
            {
                {.words = {"list"},
                 .summary = "every device: key, name, type, status, version",
                 .run = OnFacility(List)},
                {.words = {"add"},
                 .operands = "NAME",
                 .summary = "add a network device; prints its key",
                 .options = {{"--address", "IP", "its IP address", kRequired},
                             {"--port", "N", "its TCP port (default 1080)"},
                             {"--description", "TEXT", "description"},
                             {"--assigned-to", "TEXT", "who has it"}},
                 .run = OnFacility(Add)},
                {.words = {"enrol"},
                 .summary = "enrol the connected handheld; prints its key",
                 .options = {kHandheld, {"--device", "DEVICE", "enrol it again, as that device"}},
                 .run = OnFacility(Enrol)},
                {.words = {"assign"},
                 .operands = "DEVICE LOCK|\\LOCATION\\...",
                 .summary = "let the device serve the locks",
                 .run = OnFacility([](Context& c) { return Assign(c, true); })},
                {.words = {"unassign"},
                 .operands = "DEVICE LOCK|\\LOCATION\\...",
                 .summary = "take the locks from the device",
                 .run = OnFacility([](Context& c) { return Assign(c, false); })},
                {.words = {"delete"},
                 .operands = "DEVICE",
                 .summary = "delete a device",
                 .options = {kHandheld},
                 .run = OnFacility(Delete)},
                {.words = {"restore"},
                 .operands = "DEVICE",
                 .summary = "restore a device pending removal",
                 .run = OnFacility(Restore)},
            },
        .notes = "DEVICE: its key, or a name only one device has.",
    });
    table.Add({
        .name = "exchange",
        .verbs = {{.operands = "[DEVICE]",
                   .summary = "collect from the connected device, update its directory, then "
                              "program the chosen locks",
                   .options = {kHandheld,
                               {"--program", "all|LOCK,LOCK...", "the locks to program"}},
                   .run = ExchangeCommand}},
    });
}

}  // namespace tandrel::cli
