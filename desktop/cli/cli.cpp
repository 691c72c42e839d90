#include "desktop/cli/cli.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include "desktop/app/startup.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_password.h"
#include "desktop/cli/command_line.h"
#include "desktop/cli/usage_text.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace cli {
namespace {

// `help`, `help COMMAND` and `COMMAND --help`.
int Help(const CommandLine& line, std::ostream& out, std::ostream& err) {
    const auto& words = line.words;
    const bool named = !words.empty() && words[0] != "help";
    const std::string wanted = named ? words[0] : (words.size() > 1 ? words[1] : std::string());
    if (wanted.empty()) {
        out << GlobalUsage(Commands());
        return 0;
    }
    const Command* command = Commands().Find(wanted);
    if (!command) {
        err << "tandrel-cli: unknown command '" << wanted << "'\n" << GlobalUsage(Commands());
        return 2;
    }
    out << CommandUsage(*command);
    return 0;
}

// What a refused command line prints: a look-up failure is one line, other
// usage errors add the usage of the command given (or all of them).
void ShowUsageError(const UsageError& e, const Command* given, std::ostream& err) {
    err << "tandrel-cli: " << e.what() << "\n";
    if (dynamic_cast<const LookupError*>(&e)) return;
    err << (given ? CommandUsage(*given) : GlobalUsage(Commands()));
}

}  // namespace

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

// Runs the verb with the settings, the prompter and the facility document
// the global options ask for.
int RunVerb(const Verb& verb, const Arguments& args, std::istream& in, std::ostream& out,
            std::ostream& err, const CliTerminal& terminal) {
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
        code = verb.run(context);
    }
    SaveSettings(settings, err);
    return code;
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
    const Command* given = nullptr;
    try {
        const CommandLine line = SplitCommandLine(Commands(), words);
        given = line.command;
        if (line.AsksForHelp()) return Help(line, out, err);
        if (line.words.empty() && line.problem.empty()) {
            err << GlobalUsage(Commands());
            return 2;
        }
        const Verb& verb = VerbOf(line);
        return RunVerb(verb, ArgumentsOf(line, verb), in, out, err, terminal);
    } catch (const UnansweredQuestion& e) {
        err << "tandrel-cli: " << e.what() << "\n";
        return 1;
    } catch (const UsageError& e) {
        ShowUsageError(e, given, err);
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
