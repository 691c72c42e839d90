#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_password.h"
#include "desktop/cli/facility_options.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/facility_texts.h"

namespace tandrel::cli {
namespace {

// The new facility exists before the password questions come: a password
// given on the command line answers them, and without one they are asked
// only where a password can still be typed.
void AnswerPasswordQuestions(Context& c, const std::optional<QString>& password) {
    if (password && !password->isEmpty()) {
        c.prompter.OfferNewPassword({*password, *password, c.args.Has("--compatible")});
        c.prompter.Preset(texts::kAssignPasswordQuestion, PromptAnswer::Yes);
        c.prompter.Preset(texts::kLosePasswordQuestion, PromptAnswer::Yes);
    } else if (!c.prompter.CanType()) {
        c.prompter.Preset(texts::kAssignPasswordQuestion, PromptAnswer::No);
    }
    c.prompter.SetNewPasswordOptions(true, c.args.Has("--compatible"));
}

// A new facility passes the new-facility wizard's checks, with every
// facility property the command line gives.
int Create(Context& c) {
    c.session.facilitiesFolder = QDir(c.args.Text("--folder")).absolutePath();
    auto wizard = CFacilityPropertiesSheet::ForNewFacility(c.prompter, c.session.facilitiesFolder);
    if (ApplyFacilityOptions(c, wizard->Values())) wizard->OpenDaylightPage();
    if (!wizard->Check()) return 1;
    if (!QDir().mkpath(c.session.facilitiesFolder)) throw UsageError("cannot make the folder");
    AnswerPasswordQuestions(c, GivenPassword(c.args, c.err));
    if (!c.doc.NewFacility(wizard->Values())) return 1;
    c.out << c.doc.Path().toStdString() << "\n";
    return c.prompter.Failures().isEmpty() ? 0 : 1;
}

qint64 Count(dao::Database& db, const std::string& sql) {
    dao::sqlite::Statement s(db.Connection().Handle(), sql);
    s.Step();
    return s.Int(0);
}

int Info(Context& c) {
    if (!c.OpenFacility()) return 1;
    CFacilityPropertiesRecordset& p = *c.doc.m_pFacilityProperties;
    p.MoveFirst();
    dao::Database& db = c.doc.Db();
    QJsonObject info{
        {"name", p.m_Name},
        {"file", c.doc.Path()},
        {"version", p.m_DBVersion},
        {"communicationCode", p.m_CommCode},
        {"locks", Count(db, "SELECT count(*) FROM \"Locks\"")},
        {"users", Count(db,
                        "SELECT count(*) FROM \"Users\" WHERE \"User Key\" >= 2 AND "
                        "\"Record State\" <> " +
                            std::to_string(kUserRemoved))},
        {"devices", Count(db, "SELECT count(*) FROM \"Handheld PCs\"")},
        {"auditRows", Count(db, "SELECT count(*) FROM \"Audit Data\"")},
    };
    if (c.Json()) {
        c.out << QJsonDocument(info).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    c.out << "Name: " << p.m_Name.toStdString() << "\n"
          << "File: " << c.doc.Path().toStdString() << "\n"
          << "Version: " << p.m_DBVersion << "\n"
          << "Communication code: " << p.m_CommCode << "\n"
          << "Locks: " << info["locks"].toInteger() << "\n"
          << "Users: " << info["users"].toInteger() << "\n"
          << "Devices: " << info["devices"].toInteger() << "\n"
          << "Audit rows: " << info["auditRows"].toInteger() << "\n";
    return 0;
}

int SetPassword(Context& c) {
    const auto& w = c.args.Words();
    if (w.size() == 3) {
        // Removing the password is a command of its own, never an accident.
        if (w[2].empty())
            throw UsageError("the new password is empty; 'password remove' removes it");
        c.prompter.OfferNewPassword({c.args.Word(2), c.args.Word(2), c.args.Has("--compatible")});
    } else {
        if (!c.prompter.CanType())
            throw UsageError("password set needs NEW, or a terminal to type it on");
        c.prompter.SetNewPasswordOptions(true, c.args.Has("--compatible"));
    }
    return c.OpenFacility() && c.doc.SetFacilityPassword() ? 0 : 1;
}

int RemovePassword(Context& c) {
    c.prompter.OfferNewPassword({QString(), QString(), false});
    return c.OpenFacility() && c.doc.SetFacilityPassword() ? 0 : 1;
}

int Compact(Context& c) {
    PurgeEntry entry;
    if (c.args.Has("--purge-before")) {
        QString text = c.args.Text("--purge-before");
        QDate iso = QDate::fromString(text, Qt::ISODate);
        entry = {true, iso.isValid() ? iso.toString(QStringLiteral("MM/dd/yyyy")) : text};
    }
    if (!c.OpenFacility()) return 1;
    bool asked = false;
    // The purge dialog is answered once from the command line; a refused
    // entry ends the compaction.
    bool done = c.doc.CompactInteractive([&](const PurgeEntry&) -> std::optional<PurgeEntry> {
        if (asked) return std::nullopt;
        asked = true;
        return entry;
    });
    return done ? 0 : 1;
}

int Backup(Context& c) {
    const QString target = QFileInfo(c.args.Word(1)).absoluteFilePath();
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        c.prompter.Message(
            QStringLiteral("backup: '%1' already exists; nothing was written").arg(target),
            PromptIcon::Stop, {});
        return 1;
    }
    if (!c.OpenFacility() || !c.doc.Backup(target)) return 1;
    c.out << target.toStdString() << "\n";
    return 0;
}

int Refresh(Context& c) {
    return c.OpenFacility() && c.doc.ForceRefresh(c.doc.AllLockKeys()) ? 0 : 1;
}

const Option kCompatible = {"--compatible", kFlag, "keep the password as typed (no derived one)"};

// `create` takes every facility property, and needs a name.
Options CreateOptions() {
    Options options = FacilityOptions();
    for (Option& option : options) option.required = option.required || option.name == "--name";
    options.push_back({"--folder", "DIR", "the folder the facility is made in", kRequired});
    options.push_back(kCompatible);
    return options;
}

}  // namespace

void AddFacilityCommands(CommandTable& table) {
    table.Add({.name = "create",
               .verbs = {{.summary = "create a facility (and its password, when one is given); "
                                     "prints its file",
                          .options = CreateOptions(),
                          .run = Create}}});
    table.Add(
        {.name = "info",
         .verbs = {{.summary = "name, version, communication code and counts", .run = Info}}});
    table.Add({
        .name = "password",
        .verbs =
            {
                {.words = {"set"},
                 .operands = "[NEW]",
                 .summary = "set the password (without NEW it is typed on the terminal, unechoed)",
                 .options = {kCompatible},
                 .run = SetPassword},
                {.words = {"remove"}, .summary = "remove the password", .run = RemovePassword},
            },
    });
    table.Add({.name = "compact",
               .verbs = {{.summary = "compact the facility",
                          .options = {{"--purge-before", "DATE",
                                       "first purge the audit data older than DATE (YYYY-MM-DD)"}},
                          .run = Compact}}});
    table.Add({.name = "backup",
               .verbs = {{.operands = "FILE",
                          .summary = "copy the facility, with its password, to the new FILE",
                          .run = Backup}}});
    table.Add(
        {.name = "refresh",
         .verbs = {{.summary = "mark every lock for a complete reprogramming", .run = Refresh}}});
}

}  // namespace tandrel::cli
