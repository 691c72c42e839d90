#include <QJsonDocument>

#include "desktop/cli/cli_context.h"
#include "desktop/cli/handheld_dump.h"
#include "platform/ce/store_errors.h"

namespace tandrel::cli {
namespace {

int Dump(Context& c) {
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

}  // namespace

void AddHandheldCommands(CommandTable& table) {
    table.Add({
        .name = "handheld",
        .verbs = {{.words = {"dump"},
                   .operands = "STORE",
                   .summary = "every database, record and registry value of a handheld store",
                   .run = Dump}},
    });
}

}  // namespace tandrel::cli
