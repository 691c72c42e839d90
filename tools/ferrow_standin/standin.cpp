// ferrow-standin: does to a handheld store what the handheld program does
// after visiting locks, so the desktop's collections can be run against it
// without a handheld: programming marked delivered, audit blocks and guest
// records written, enrolled-lock entries given their exchange.
#include "tools/ferrow_standin/standin.h"

#include <QFileInfo>

#include <fstream>

#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/cradle_session.h"
#include "platform/ce/store_errors.h"
#include "tools/ferrow_standin/standin_device.h"

namespace ferrow_standin {
namespace {

const char* const kUsage =
    "usage: ferrow-standin STORE SCRIPT\n"
    "Writes to the handheld store STORE what the handheld writes after visiting\n"
    "locks, as SCRIPT (a file, or - for standard input) tells.\n";

// The script, or nullopt after saying why it cannot be read.
std::optional<std::vector<Step>> ReadScript(const std::string& name, std::istream& in,
                                            std::ostream& err) {
    try {
        if (name == "-") return ParseScript(in);
        std::ifstream file(name);
        if (!file) {
            err << "ferrow-standin: cannot read the script " << name << "\n";
            return std::nullopt;
        }
        return ParseScript(file);
    } catch (const ScriptError& e) {
        err << "ferrow-standin: " << name << ": " << e.what() << "\n";
        return std::nullopt;
    }
}

// The store in the cradle with the exchange's databases open, as the
// desktop opens it.
class Cradle {
  public:
    std::string Open(const QString& path) {
        std::uint32_t error = 0;
        if (!QFileInfo::exists(path)) return "no handheld store at " + path.toStdString();
        session_ = ce::CradleSession::Connect(path, error);
        if (!session_) return ce::StoreOpenFailureText(path, error).toStdString();
        transport_ = std::make_unique<tandrel::HandheldTransport>(*session_);
        if ((error = transport_->OpenDatabases(databases_)) != 0)
            return "cannot open the handheld databases (error " + std::to_string(error) + ")";
        open_ = true;
        return {};
    }
    ~Cradle() {
        if (open_) transport_->CloseDatabases(databases_);
    }
    StandinDevice Device() { return StandinDevice(*transport_, databases_); }

  private:
    std::unique_ptr<ce::CradleSession> session_;
    std::unique_ptr<tandrel::HandheldTransport> transport_;
    tandrel::ExchangeDatabases databases_;
    bool open_ = false;
};

int LineOf(const Step& step) {
    return std::visit([](const auto& s) { return s.line; }, step);
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage << "\n" << kScriptHelp;
        return 0;
    }
    if (args.size() != 2) {
        err << kUsage << "Try ferrow-standin --help for the script lines.\n";
        return 2;
    }
    const auto steps = ReadScript(args[1], in, err);
    if (!steps) return 2;
    Cradle cradle;
    if (const std::string problem = cradle.Open(QString::fromStdString(args[0]));
        !problem.empty()) {
        err << "ferrow-standin: " << problem << "\n";
        return 1;
    }
    StandinDevice device = cradle.Device();
    for (const Step& step : *steps) {
        std::string done;
        if (const std::uint32_t error = device.Apply(step, done)) {
            err << "ferrow-standin: " << args[1] << ": line " << LineOf(step)
                << ": the handheld store failed (error " << error << ")\n";
            return 1;
        }
        out << done << "\n";
    }
    return 0;
}

}  // namespace ferrow_standin
