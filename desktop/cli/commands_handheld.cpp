#include <QJsonDocument>

#include "desktop/cli/cli_context.h"
#include "desktop/cli/handheld_dump.h"

namespace tandrel::cli {
namespace {

int Dump(Context& c) {
    c.args.RejectOthers({});
    if (c.args.Words().size() != 3) throw UsageError("handheld dump needs one STORE");
    const QString path = c.args.Word(2);
    std::uint32_t error = 0;
    std::unique_ptr<ce::ObjectStore> store = ce::ObjectStore::Open(path, error);
    QJsonObject dump;
    if (store && DumpStore(*store, dump, error)) {
        if (c.Json()) {
            c.out << QJsonDocument(dump).toJson(QJsonDocument::Compact).toStdString() << "\n";
        } else {
            PrintDump(c.out, dump);
        }
        return 0;
    }
    c.prompter.Message(
        QStringLiteral("Cannot read the handheld store %1 (error %2).").arg(path).arg(error),
        PromptIcon::Stop, {});
    return 1;
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
