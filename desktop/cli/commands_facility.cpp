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

void ExpectWords(const Context& c, std::size_t count) {
    if (c.args.Words().size() != count) throw UsageError("wrong number of arguments");
}

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
    ExpectWords(c, 1);
    std::set<std::string> known = FacilityOptions();
    known.insert({"--folder", "--compatible"});
    c.args.RejectOthers(known);
    if (!c.args.Has("--name") || !c.args.Has("--folder")) {
        throw UsageError("create needs --name and --folder");
    }
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
    ExpectWords(c, 1);
    c.args.RejectOthers({});
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

int Password(Context& c) {
    c.args.RejectOthers({"--compatible"});
    const auto& w = c.args.Words();
    const bool set = w.size() >= 2 && w[1] == "set";
    if (set && w.size() == 3) {
        // Removing the password is a command of its own, never an accident.
        if (w[2].empty())
            throw UsageError("the new password is empty; 'password remove' removes it");
        c.prompter.OfferNewPassword({c.args.Word(2), c.args.Word(2), c.args.Has("--compatible")});
    } else if (set && w.size() == 2) {
        if (!c.prompter.CanType())
            throw UsageError("password set needs NEW, or a terminal to type it on");
        c.prompter.SetNewPasswordOptions(true, c.args.Has("--compatible"));
    } else if (w.size() == 2 && w[1] == "remove") {
        c.prompter.OfferNewPassword({QString(), QString(), false});
    } else {
        throw UsageError("usage: password set [NEW] | password remove");
    }
    return c.OpenFacility() && c.doc.SetFacilityPassword() ? 0 : 1;
}

int Compact(Context& c) {
    ExpectWords(c, 1);
    c.args.RejectOthers({"--purge-before"});
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
    ExpectWords(c, 2);
    c.args.RejectOthers({});
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
    ExpectWords(c, 1);
    c.args.RejectOthers({});
    return c.OpenFacility() && c.doc.ForceRefresh(c.doc.AllLockKeys()) ? 0 : 1;
}

}  // namespace

void AddFacilityCommands(CommandTable& table) {
    table["create"] = {
        "create --name NAME --folder DIR [--compatible] [the options of facility set]\n"
        "         create a facility (and its password, when one is given)",
        {"--compatible"},
        Create};
    table["info"] = {
        "info                    name, version, communication code and counts", {}, Info};
    table["password"] = {
        "password set [NEW] [--compatible] | password remove   set or remove the password\n"
        "         (without NEW it is typed on the terminal, unechoed)",
        {"--compatible"},
        Password};
    table["compact"] = {
        "compact [--purge-before DATE]   compact, purging audit data older than DATE", {}, Compact};
    table["backup"] = {
        "backup FILE             copy the facility, with its password, to the new FILE",
        {},
        Backup};
    table["refresh"] = {
        "refresh                 mark every lock for a complete reprogramming", {}, Refresh};
}

}  // namespace tandrel::cli
