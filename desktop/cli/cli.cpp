#include "desktop/cli/cli.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include "desktop/app/startup.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_password.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace cli {
namespace {

const std::set<std::string> kGlobalValues = {"--file", "--password", "--password-file",
                                             "--settings"};
const std::set<std::string> kGlobalFlags = {"--yes",     "--no",       "--json",
                                            "--verbose", "--progress", "--help"};

const CommandTable& Commands() {
    static const CommandTable table = [] {
        CommandTable t;
        AddFacilityCommands(t);
        AddUserCommands(t);
        AddLockCommands(t);
        AddGroupCommands(t);
        AddPropertiesCommands(t);
        AddScheduleCommands(t);
        AddLocationCommands(t);
        AddHandheldCommands(t);
        AddProgrammingCommands(t);
        AddDeviceCommands(t);
        AddAuditCommands(t);
        AddLosCommands(t);
        return t;
    }();
    return table;
}

// The usage of one command, as `help COMMAND` shows it.
std::string CommandUsage(const Command& command) {
    return "usage: tandrel-cli [global options] " + command.usage + "\n";
}

std::string Usage() {
    std::string text =
        "usage: tandrel-cli [--file FACILITY] [--password-file FILE | --password PASSWORD]\n"
        "                   [--yes | --no] [--json] [--progress] [--settings FILE] [--verbose]\n"
        "                   COMMAND ...\n";
    for (const auto& [name, command] : Commands()) text += "  " + command.usage + "\n";
    text +=
        "Without --file the facility opened last is used (and named on standard error).\n"
        "The facility password comes from --password-file (its first line) or --password\n"
        "(which other users of the machine can see), else from the environment variable\n"
        "TANDREL_PASSWORD, else from the terminal, unechoed.\n"
        "Questions are asked on the terminal; --yes answers every one of them Yes, --no\n"
        "every one No. Without a terminal and without either, a command stops at its first\n"
        "question, before changing anything.\n"
        "Users and locks are named by key or by name, a lock also by its path\n"
        "(\"\\A\\B\\Lock\"), locations by path (\"\\A\\B\\\").\n"
        "tandrel-cli help COMMAND (or COMMAND --help) shows one command's usage.\n";
    return text;
}

// `help`, `help COMMAND` and `COMMAND --help`.
int Help(const Arguments& args, std::ostream& out, std::ostream& err) {
    const auto& words = args.Words();
    const bool named = !words.empty() && words[0] != "help";
    const std::string wanted = named ? words[0] : (words.size() > 1 ? words[1] : std::string());
    if (wanted.empty()) {
        out << Usage();
        return 0;
    }
    auto command = Commands().find(wanted);
    if (command == Commands().end()) {
        err << "tandrel-cli: unknown command '" << wanted << "'\n" << Usage();
        return 2;
    }
    out << CommandUsage(command->second);
    return 0;
}

// What a refused command line prints: a look-up failure is one line, other
// usage errors add the usage of the command given (or all of them).
void ShowUsageError(const UsageError& e, const std::vector<std::string>& words, std::ostream& err) {
    err << "tandrel-cli: " << e.what() << "\n";
    if (dynamic_cast<const LookupError*>(&e)) return;
    for (const std::string& word : words) {
        auto command = Commands().find(word);
        if (command != Commands().end()) {
            err << CommandUsage(command->second);
            return;
        }
    }
    err << Usage();
}

}  // namespace

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() > 2 && w.rfind("--", 0) == 0) {
            if (flags.count(w) || kGlobalFlags.count(w)) {
                values_[w] = "";
            } else {
                if (i + 1 >= words.size()) throw UsageError("option " + w + " needs a value");
                values_[w] = words[++i];
            }
        } else {
            words_.push_back(w);
        }
    }
}

QString Arguments::Text(const std::string& option) const {
    auto it = values_.find(option);
    return it == values_.end() ? QString() : QString::fromStdString(it->second);
}

int Arguments::Number(const std::string& option, int fallback, int min, int max) const {
    if (!Has(option)) return fallback;
    bool ok = false;
    int n = Text(option).toInt(&ok);
    if (!ok || n < min || n > max) {
        throw UsageError(option + " must be a number from " + std::to_string(min) + " to " +
                         std::to_string(max));
    }
    return n;
}

QString Arguments::Word(std::size_t index) const {
    return index < words_.size() ? QString::fromStdString(words_[index]) : QString();
}

void Arguments::RejectOthers(const std::set<std::string>& known) const {
    for (const auto& [option, value] : values_) {
        if (!known.count(option) && !kGlobalValues.count(option) && !kGlobalFlags.count(option)) {
            throw UsageError("unknown option " + option);
        }
    }
}

void PrintFields(std::ostream& out, const QJsonObject& object, const QString& skip) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == skip) continue;
        out << it.key().toStdString() << ": " << it.value().toVariant().toString().toStdString()
            << "\n";
    }
}

bool Context::OpenFacility() {
    QString file = args.Text("--file");
    if (!args.Has("--file")) {
        file = settings.CurrentDBPath();
        if (file.isEmpty())
            throw UsageError("--file FACILITY is needed: no facility was opened yet");
        err << "tandrel-cli: using " << file.toStdString() << ", the facility opened last\n";
    }
    const std::optional<QString> password = GivenPassword(args, err);
    if (password && !password->isEmpty()) prompter.OfferPassword(*password);
    return doc.OpenFacility(QFileInfo(file).absoluteFilePath());
}

namespace {

AnswerPolicy PolicyOf(const Arguments& args, bool terminal) {
    if (args.Has("--yes") && args.Has("--no"))
        throw UsageError("--yes and --no exclude each other");
    if (args.Has("--yes")) return AnswerPolicy::Yes;
    if (args.Has("--no")) return AnswerPolicy::No;
    return terminal ? AnswerPolicy::Terminal : AnswerPolicy::Refuse;
}

ProgressStyle ProgressStyleOf(const Arguments& args, bool terminal) {
    if (terminal) return ProgressStyle::Line;
    return args.Has("--progress") ? ProgressStyle::Log : ProgressStyle::None;
}

// A settings file that could never be saved is refused before anything
// runs, rather than losing what the command would record in it.
AppSettings SettingsOf(const Arguments& args) {
    if (!args.Has("--settings")) return AppSettings();
    const QFileInfo file(args.Text("--settings"));
    if (file.isDir())
        throw UsageError("--settings names the folder " + file.filePath().toStdString() +
                         "; name a settings file");
    if (!file.absoluteDir().exists())
        throw UsageError("--settings: the folder " + file.absolutePath().toStdString() +
                         " does not exist");
    return AppSettings(file.filePath());
}

void SaveSettings(AppSettings& settings, std::ostream& err) {
    settings.Raw().sync();
    if (settings.Raw().status() != QSettings::NoError)
        err << "tandrel-cli: the settings could not be saved to "
            << settings.Raw().fileName().toStdString() << "\n";
}

}  // namespace
}  // namespace cli

int RunCli(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive) {
    CliTerminal terminal;
    terminal.input = interactive;
    return RunCli(words, in, out, err, terminal);
}

int RunCli(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
           std::ostream& err, const CliTerminal& terminal) {
    using namespace cli;
    try {
        std::set<std::string> flags;
        for (const auto& [name, command] : Commands())
            flags.insert(command.flags.begin(), command.flags.end());
        Arguments args(words, flags);
        if (args.Words().empty() && !args.Has("--help")) {
            err << Usage();
            return 2;
        }
        if (args.Has("--help") || args.Words()[0] == "help") return Help(args, out, err);
        auto command = Commands().find(args.Words()[0]);
        if (command == Commands().end())
            throw UsageError("unknown command '" + args.Words()[0] + "'");
        AppSettings settings = SettingsOf(args);
        TerminalPrompter prompter(in, err, PolicyOf(args, terminal.input));
        prompter.SetVerbose(args.Has("--verbose"));
        prompter.SetEchoControl(terminal.setEcho);
        prompter.SetProgressStyle(ProgressStyleOf(args, terminal.errors));
        FacilitySession session;
        session.facilitiesFolder = FacilitiesFolder(settings);
        int code = 0;
        {
            CTDXDoc doc(session, settings, prompter);
            Context context{args, out, err, settings, prompter, session, doc};
            code = command->second.run(context);
        }
        SaveSettings(settings, err);
        return code;
    } catch (const UnansweredQuestion& e) {
        err << "tandrel-cli: " << e.what() << "\n";
        return 1;
    } catch (const UsageError& e) {
        ShowUsageError(e, words, err);
        return 2;
    } catch (const dao::Error& e) {
        // An engine error no operation caught (a full disk at a commit): the
        // operation's transaction is rolled back by now; say why it failed.
        err << e.Description().toStdString() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << "tandrel-cli: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace tandrel
