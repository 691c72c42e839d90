#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/facility_directory.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"

namespace tandrel::cli {
namespace {

// "\A\B\" -> ("\A\", "B").
std::pair<QString, QString> SplitLast(const QString& path) {
    QStringList levels = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (levels.isEmpty()) throw UsageError("name the new location: \\PARENT\\NAME\\");
    QString name = levels.takeLast();
    QString parent = QStringLiteral("\\");
    for (const QString& level : levels) parent += level + QLatin1Char('\\');
    return {parent, name};
}

void ListTree(Context& c, const FacilityDirectory& tree, int key, QJsonArray& json) {
    for (int child : tree.Children(key)) {
        if (c.Json()) {
            json.append(QJsonObject{{"key", child}, {"path", tree.Path(child)}});
        } else {
            c.out << child << "\t" << tree.Path(child).toStdString() << "\n";
        }
        ListTree(c, tree, child, json);
    }
}

int LocationCommand(Context& c) {
    c.args.RejectOthers({});
    const QString verb = c.args.Word(1);
    if (!c.OpenFacility()) return 1;
    FacilityDirectory tree(c.doc, c.prompter);
    if (!tree.Load()) return 1;
    if (verb == "list" && c.args.Words().size() == 2) {
        QJsonArray json;
        ListTree(c, tree, tree.RootKey(), json);
        if (c.Json())
            c.out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    if (c.args.Words().size() < 3)
        throw UsageError("location " + verb.toStdString() + " needs a path");
    const QString path = c.args.Word(2);
    if (verb == "add") {
        auto [parentPath, name] = SplitLast(path);
        int parent = LocationKeyOf(c.doc, parentPath);
        if (!tree.CanAddLocation(parent)) return 1;
        std::optional<int> key = tree.AddLocation(parent, name);
        if (!key) return 1;
        c.out << *key << "\n";
        return 0;
    }
    const int key = LocationKeyOf(c.doc, path);
    if (verb == "rename") {
        if (c.args.Words().size() != 4) throw UsageError("location rename PATH NEWNAME");
        return tree.RenameLocation(key, c.args.Word(3)) ? 0 : 1;
    }
    if (verb == "delete") return tree.DeleteLocation(key) ? 0 : 1;
    if (verb == "refresh") return tree.RefreshLocation(key) ? 0 : 1;
    if (verb == "list") {
        QJsonArray json;
        for (const DirectoryListEntry& e : tree.ListOf(key)) {
            if (c.Json()) {
                json.append(
                    QJsonObject{{"location", e.location}, {"key", e.key}, {"name", e.text}});
            } else {
                c.out << (e.location ? "location\t" : "lock\t") << e.key << "\t"
                      << e.text.toStdString() << "\n";
            }
        }
        if (c.Json())
            c.out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    throw UsageError("unknown location command '" + verb.toStdString() + "'");
}

}  // namespace

void AddLocationCommands(CommandTable& table) {
    table["location"] = {
        "location add \\PARENT\\NAME\\ | location rename PATH NEWNAME | location delete PATH\n"
        "  location list [PATH] | location refresh PATH   (paths like \\Building A\\East\\)",
        {},
        LocationCommand};
}

}  // namespace tandrel::cli
