#include <QJsonDocument>

#include "desktop/cli/cli_context.h"
#include "desktop/cli/handheld_dump.h"
#include "platform/ce/store_errors.h"

namespace tandrel::cli {
namespace {

int Dump(Context& c) {
    c.args.RejectOthers({});
    if (c.args.Words().size() != 3) throw UsageError("handheld dump needs one STORE");
    const QString path = c.args.Word(2);
    std::uint32_t error = 0;
    std::unique_ptr<ce::ObjectStore> store = ce::ObjectStore::Open(path, error);
    if (!store) {
        c.prompter.Message(ce::StoreOpenFailureText(path, error), PromptIcon::Stop, {});
        return 1;
    }
    QJsonObject dump;
    if (!DumpStore(*store, dump, error)) {
        const QString cause = error == ce::ERROR_INVALID_DATA
                                  ? QStringLiteral("it holds damaged records")
                                  : QStringLiteral("error %1").arg(error);
        c.prompter.Message(
            QStringLiteral("The handheld store %1 cannot be read: %2.").arg(path, cause),
            PromptIcon::Stop, {});
        return 1;
    }
    if (c.Json()) {
        c.out << QJsonDocument(dump).toJson(QJsonDocument::Compact).toStdString() << "\n";
    } else {
        PrintDump(c.out, dump);
    }
    return 0;
}

int HandheldCommand(Context& c) {
    const QString verb = c.args.Word(1);
    if (verb == "dump") return Dump(c);
    throw UsageError("unknown handheld command '" + verb.toStdString() + "'");
}

}  // namespace

// Handheld store commands (handheld dump, program) join this table.
void AddHandheldCommands(CommandTable& table) {
    table["handheld"] = {
        "handheld dump STORE   every database, record and registry value of a handheld store",
        {},
        HandheldCommand};
}

}  // namespace tandrel::cli
