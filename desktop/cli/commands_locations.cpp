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

// Runs a location verb on the facility's tree.
Handler OnTree(int (*run)(Context&, FacilityDirectory&)) {
    return [run](Context& c) {
        if (!c.OpenFacility()) return 1;
        FacilityDirectory tree(c.doc, c.prompter);
        if (!tree.Load()) return 1;
        return run(c, tree);
    };
}

void PrintJson(Context& c, const QJsonArray& json) {
    c.out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
}

// Every location below the root, or what one location holds.
int List(Context& c, FacilityDirectory& tree) {
    QJsonArray json;
    if (c.args.Words().size() == 2) {
        ListTree(c, tree, tree.RootKey(), json);
        if (c.Json()) PrintJson(c, json);
        return 0;
    }
    for (const DirectoryListEntry& e : tree.ListOf(LocationKeyOf(c.doc, c.args.Word(2)))) {
        if (c.Json()) {
            json.append(QJsonObject{{"location", e.location}, {"key", e.key}, {"name", e.text}});
        } else {
            c.out << (e.location ? "location\t" : "lock\t") << e.key << "\t" << e.text.toStdString()
                  << "\n";
        }
    }
    if (c.Json()) PrintJson(c, json);
    return 0;
}

int Add(Context& c, FacilityDirectory& tree) {
    auto [parentPath, name] = SplitLast(c.args.Word(2));
    int parent = LocationKeyOf(c.doc, parentPath);
    if (!tree.CanAddLocation(parent)) return 1;
    std::optional<int> key = tree.AddLocation(parent, name);
    if (!key) return 1;
    c.out << *key << "\n";
    return 0;
}

int Rename(Context& c, FacilityDirectory& tree) {
    return tree.RenameLocation(LocationKeyOf(c.doc, c.args.Word(2)), c.args.Word(3)) ? 0 : 1;
}

int Delete(Context& c, FacilityDirectory& tree) {
    return tree.DeleteLocation(LocationKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

int Refresh(Context& c, FacilityDirectory& tree) {
    return tree.RefreshLocation(LocationKeyOf(c.doc, c.args.Word(2))) ? 0 : 1;
}

}  // namespace

void AddLocationCommands(CommandTable& table) {
    table.Add({
        .name = "location",
        .verbs =
            {
                {.words = {"add"},
                 .operands = "\\PARENT\\NAME\\",
                 .summary = "add a location; prints its key",
                 .run = OnTree(Add)},
                {.words = {"rename"},
                 .operands = "PATH NEWNAME",
                 .summary = "rename a location",
                 .run = OnTree(Rename)},
                {.words = {"delete"},
                 .operands = "PATH",
                 .summary = "delete an empty location",
                 .run = OnTree(Delete)},
                {.words = {"list"},
                 .operands = "[PATH]",
                 .summary = "every location, or the locations and locks in PATH",
                 .run = OnTree(List)},
                {.words = {"refresh"},
                 .operands = "PATH",
                 .summary = "mark every lock in a location for a complete reprogramming",
                 .run = OnTree(Refresh)},
            },
        .notes = "PATH: a location's path from the root, like \\Building A\\East\\.",
    });
}

}  // namespace tandrel::cli
