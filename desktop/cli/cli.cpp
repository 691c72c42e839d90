#include "desktop/cli/cli.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <optional>
#include <stdexcept>

#include "desktop/app/app_settings.h"
#include "desktop/app/startup.h"
#include "desktop/cli/terminal_prompter.h"
#include "desktop/data/facility_document.h"

namespace tandrel {
namespace {

constexpr const char* kUsage =
    R"(usage: tandrel-cli [--file FACILITY] [--password PASSWORD] [--yes] [--json]
                   [--settings FILE] [--verbose] COMMAND ...
  create --name NAME --folder DIR [--id-length N] [--pin-length N]
         [--facility-code CODE] [--password PASSWORD [--compatible]]
                          create a facility (and set its password)
  info                    name, format version, communication code and counts
  password set NEW [--compatible]
  password remove         set or remove the facility password
  compact [--purge-before DATE]
                          compact the facility, purging audit data older than
                          DATE (mm/dd/yyyy or yyyy-mm-dd)
  refresh                 mark every lock for a complete reprogramming
Questions are asked on the terminal; --yes answers every one of them Yes.
)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Command-line words: options with values, flags, and the rest in order.
struct Arguments {
    std::map<std::string, std::string> values;
    std::vector<std::string> words;

    bool Has(const std::string& name) const { return values.count(name) > 0; }
    QString Text(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? QString() : QString::fromStdString(it->second);
    }
    int Number(const std::string& name, int fallback, int min, int max) const {
        if (!Has(name)) return fallback;
        bool ok = false;
        int n = Text(name).toInt(&ok);
        if (!ok || n < min || n > max) {
            throw UsageError(name + " must be a number from " + std::to_string(min) + " to " +
                             std::to_string(max));
        }
        return n;
    }
};

Arguments Parse(const std::vector<std::string>& args) {
    static const std::vector<std::string> withValue = {
        "--file",      "--password",   "--settings",      "--name",        "--folder",
        "--id-length", "--pin-length", "--facility-code", "--purge-before"};
    static const std::vector<std::string> flags = {"--yes", "--json", "--verbose", "--compatible"};
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (std::find(withValue.begin(), withValue.end(), a) != withValue.end()) {
            if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
            parsed.values[a] = args[++i];
        } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            parsed.values[a] = "";
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError("unknown option " + a);
        } else {
            parsed.words.push_back(a);
        }
    }
    return parsed;
}

class Cli {
  public:
    Cli(const Arguments& a, std::istream& in, std::ostream& out, std::ostream& err,
        bool interactive)
        : args_(a),
          out_(out),
          settings_(a.Has("--settings") ? AppSettings(a.Text("--settings")) : AppSettings()),
          prompter_(in, err, a.Has("--yes"), interactive) {
        prompter_.SetVerbose(a.Has("--verbose"));
        session_.facilitiesFolder = FacilitiesFolder(settings_);
    }

    int Run() {
        if (args_.words.empty()) throw UsageError("no command given");
        const std::string& command = args_.words[0];
        if (command == "create") return Create();
        if (command == "info") return Open() && Info() ? 0 : 1;
        if (command == "password") return Open() && Password() ? 0 : 1;
        if (command == "compact") return Open() && CompactFacility() ? 0 : 1;
        if (command == "refresh") return Open() && doc_.ForceRefresh(doc_.AllLockKeys()) ? 0 : 1;
        throw UsageError("unknown command '" + command + "'");
    }

  private:
    void ExpectWords(std::size_t count) const {
        if (args_.words.size() != count) throw UsageError("wrong number of arguments");
    }

    bool Open() {
        if (!args_.Has("--file")) throw UsageError("--file FACILITY is needed");
        const QString password = args_.Text("--password");
        session_.password = password;
        if (!password.isEmpty()) prompter_.OfferPassword(password);
        return doc_.OpenFacility(QFileInfo(args_.Text("--file")).absoluteFilePath());
    }

    int Create() {
        ExpectWords(1);
        if (!args_.Has("--name") || !args_.Has("--folder")) {
            throw UsageError("create needs --name and --folder");
        }
        NewFacilityValues values;
        values.name = args_.Text("--name");
        values.facilityCode = args_.Text("--facility-code");
        values.idCodeLength = args_.Number("--id-length", 4, 4, 10);
        values.pinLength = args_.Number("--pin-length", 3, 3, 6);
        session_.facilitiesFolder = QDir(args_.Text("--folder")).absolutePath();
        if (!QDir().mkpath(session_.facilitiesFolder)) throw UsageError("cannot make the folder");
        const QString password = args_.Text("--password");
        if (!password.isEmpty()) {
            prompter_.OfferNewPassword({password, password, args_.Has("--compatible")});
        }
        if (!doc_.NewFacility(values)) return 1;
        out_ << doc_.Path().toStdString() << "\n";
        return prompter_.Failures().isEmpty() ? 0 : 1;
    }

    bool Info() {
        ExpectWords(1);
        CFacilityPropertiesRecordset& p = *doc_.m_pFacilityProperties;
        p.MoveFirst();
        dao::Database& db = doc_.Db();
        auto count = [&](const std::string& sql) {
            dao::sqlite::Statement s(db.Connection().Handle(), sql);
            s.Step();
            return s.Int(0);
        };
        QJsonObject info{
            {"name", p.m_Name},
            {"file", doc_.Path()},
            {"version", p.m_DBVersion},
            {"communicationCode", p.m_CommCode},
            {"locks", count("SELECT count(*) FROM \"Locks\"")},
            {"users", count("SELECT count(*) FROM \"Users\" WHERE \"User Key\" >= 2 AND "
                            "\"Record State\" <> 0")},
            {"devices", count("SELECT count(*) FROM \"Handheld PCs\"")},
            {"auditRows", count("SELECT count(*) FROM \"Audit Data\"")},
        };
        if (args_.Has("--json")) {
            out_ << QJsonDocument(info).toJson(QJsonDocument::Compact).toStdString() << "\n";
            return true;
        }
        out_ << "Name: " << p.m_Name.toStdString() << "\n"
             << "File: " << doc_.Path().toStdString() << "\n"
             << "Version: " << p.m_DBVersion << "\n"
             << "Communication code: " << p.m_CommCode << "\n"
             << "Locks: " << info["locks"].toInteger() << "\n"
             << "Users: " << info["users"].toInteger() << "\n"
             << "Devices: " << info["devices"].toInteger() << "\n"
             << "Audit rows: " << info["auditRows"].toInteger() << "\n";
        return true;
    }

    bool Password() {
        if (args_.words.size() == 3 && args_.words[1] == "set") {
            QString password = QString::fromStdString(args_.words[2]);
            prompter_.OfferNewPassword({password, password, args_.Has("--compatible")});
        } else if (args_.words.size() == 2 && args_.words[1] == "remove") {
            prompter_.OfferNewPassword({QString(), QString(), false});
        } else {
            throw UsageError("usage: password set NEW | password remove");
        }
        return doc_.SetFacilityPassword();
    }

    bool CompactFacility() {
        ExpectWords(1);
        PurgeEntry entry;
        if (args_.Has("--purge-before")) {
            QString text = args_.Text("--purge-before");
            QDate iso = QDate::fromString(text, Qt::ISODate);
            entry = {true, iso.isValid() ? iso.toString(QStringLiteral("MM/dd/yyyy")) : text};
        }
        bool asked = false;
        // The purge dialog is answered once from the command line; a refused
        // entry ends the compaction.
        return doc_.CompactInteractive([&](const PurgeEntry&) -> std::optional<PurgeEntry> {
            if (asked) return std::nullopt;
            asked = true;
            return entry;
        });
    }

    const Arguments& args_;
    std::ostream& out_;
    AppSettings settings_;
    TerminalPrompter prompter_;
    FacilitySession session_;
    CTDXDoc doc_{session_, settings_, prompter_};
};

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive) {
    try {
        Arguments parsed = Parse(args);
        if (parsed.words.empty() || parsed.words[0] == "help") {
            (parsed.words.empty() ? err : out) << kUsage;
            return parsed.words.empty() ? 2 : 0;
        }
        Cli cli(parsed, in, out, err, interactive);
        return cli.Run();
    } catch (const UsageError& e) {
        err << "tandrel-cli: " << e.what() << "\n" << kUsage;
        return 2;
    }
}

}  // namespace tandrel
