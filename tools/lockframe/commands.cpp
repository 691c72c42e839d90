#include <cstdio>

#include "protocol/hex.h"
#include "protocol/ir_frame.h"
#include "protocol/lock_command_codes.h"
#include "protocol/lock_parser.h"
#include "protocol/mixing.h"
#include "protocol/packed_date.h"
#include "tools/lockframe/demo.h"
#include "tools/lockframe/drop_report.h"
#include "tools/lockframe/lockframe.h"
#include "tools/lockframe/options.h"

namespace lockframe {
namespace {

using protocol::Bytes;
using protocol::ToHex;

constexpr const char* kUsage = R"(usage: lockframe COMMAND ...
  encode CMD [HEXDATA] [--bof N] [--no-command] [--text TEXT] [--key KEY]
                          frame a lock message (CMD decimal or 0x..)
  decode HEX... [--no-command] [--text] [--key KEY]
                          one line per good frame of a captured byte stream;
                          --text decrypts the frames of a record link; on
                          standard error, where and why every rejected frame
                          or stray byte was dropped
  ir-decode HEX           parse a handheld receive ring: result and reply
  pin SEEDHEX             log-on response to a 5-byte seed
  mix HEX5                mixing function of 5 bytes
  commcode --name NAME --time "MM/DD HH:MM:SS"
                          communication code of a facility
  password TEXT           derived facility password
  date WORD|YYYY-MM-DD [--today YYYY-MM-DD]
                          packed date word to a date, or a date to its word
  demo                    a complete log-on exchange as annotated frames
)";

std::string JoinedPositional(const Options& options, std::size_t from) {
    std::string joined;
    for (std::size_t i = from; i < options.Positional().size(); ++i) {
        joined += options.Positional()[i] + " ";
    }
    return joined;
}

void RequirePositional(const Options& options, std::size_t min, std::size_t max,
                       const std::string& usage) {
    std::size_t n = options.Positional().size();
    if (n < min || n > max) throw UsageError("usage: lockframe " + usage);
}

void ApplyKey(const Options& options, protocol::clsLockParser& parser) {
    if (auto key = options.Value("--key")) {
        if (!protocol::ParseCipherKey(*key)) {
            throw UsageError("bad key text: expected 16 two-digit hex values separated by blanks");
        }
        parser.SetEncryptKey(*key);
    }
}

int Encode(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {"--bof", "--text", "--key"}, {"--no-command"});
    RequirePositional(options, 1, 2,
                      "encode CMD [HEXDATA] [--bof N] [--no-command] [--text TEXT] [--key KEY]");
    protocol::clsLockParser parser;
    auto command = static_cast<std::int16_t>(ParseNumber(options.Positional()[0], 0, 255, "CMD"));
    if (auto bofs = options.Value("--bof")) {
        parser.SetBOFCount(static_cast<std::int16_t>(ParseNumber(*bofs, 0, 255, "BOF count")));
    }
    parser.SetCommandActive(!options.Has("--no-command"));
    ApplyKey(options, parser);
    Bytes data;
    if (auto text = options.Value("--text")) {
        if (options.Positional().size() > 1) throw UsageError("give either HEXDATA or --text");
        data = parser.EncryptStringToData(*text);
    } else if (options.Positional().size() > 1) {
        data = ParseHexArgument(options.Positional()[1], "HEXDATA");
    }
    Bytes frame = parser.BuildMessage(command, data);
    if (frame.empty()) throw UsageError("nothing to frame: no command byte and no data");
    out << ToHex(frame) << "\n";
    return 0;
}

int Decode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options(args, {"--key"}, {"--no-command", "--text"});
    RequirePositional(options, 1, SIZE_MAX, "decode HEX... [--no-command] [--text] [--key KEY]");
    Bytes stream = ParseHexArgument(JoinedPositional(options, 0), "HEX");
    protocol::clsLockParser parser;
    bool text = options.Has("--text");
    parser.SetCommandActive(!text && !options.Has("--no-command"));
    ApplyKey(options, parser);
    int frames = 0;
    parser.SetMsgReceived([&](std::int16_t command, const Bytes& data) {
        ++frames;
        if (text) {
            std::string plain = parser.DecryptDataToString(data);
            out << (plain.empty() && !data.empty() ? "(cannot decrypt) " + ToHex(data) : plain)
                << "\n";
            return;
        }
        char code[8];
        std::snprintf(code, sizeof code, "%02X", command);
        out << code << " " << protocol::LockCommandDisplayName(command) << ":"
            << (data.empty() ? "" : " " + ToHex(data)) << "\n";
    });
    DropReport(parser, err).Feed(stream);
    if (frames == 0) {
        err << "no good frame in the input\n";
        return 1;
    }
    return 0;
}

int IrDecode(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {}, {});
    RequirePositional(options, 1, SIZE_MAX, "ir-decode HEX");
    Bytes bytes = ParseHexArgument(JoinedPositional(options, 0), "HEX");
    protocol::IrReceiveRing ring;
    for (std::uint8_t b : bytes) ring.Store(b);
    Bytes reply;
    protocol::IrParseResult result = ring.ParseReply(reply);
    switch (result) {
        case protocol::IR_PARSE_OK:
            out << "result 0 (reply received)\nreply " << ToHex(reply) << "\n";
            return 0;
        case protocol::IR_PARSE_FRAMING_ERROR: out << "result 2 (framing error)\n"; return 1;
        case protocol::IR_PARSE_CHECK_ERROR: out << "result 3 (check error)\n"; return 1;
    }
    return 1;
}

int Pin(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {}, {});
    RequirePositional(options, 1, SIZE_MAX, "pin SEEDHEX");
    Bytes seed = ParseHexArgument(JoinedPositional(options, 0), "SEEDHEX");
    if (seed.size() != 5) {
        throw UsageError("the seed is 5 bytes: lock address (2), challenge, facility code (2)");
    }
    out << ToHex(protocol::GeneratePIN(seed)) << "\n";
    return 0;
}

int Mix(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {}, {});
    RequirePositional(options, 1, SIZE_MAX, "mix HEX5");
    Bytes in = ParseHexArgument(JoinedPositional(options, 0), "HEX5");
    if (in.size() != 5) throw UsageError("the mixing function takes exactly 5 bytes");
    auto result = protocol::MixBytes({in[0], in[1], in[2], in[3], in[4]});
    out << ToHex(result) << "\n";
    return 0;
}

protocol::CivilDateTime ParseCreationTime(const std::string& text) {
    int month, day, hour, minute, second;
    char tail;
    if (std::sscanf(text.c_str(), "%2d/%2d %2d:%2d:%2d%c", &month, &day, &hour, &minute, &second,
                    &tail) != 5 ||
        month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || hour < 0 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        throw UsageError("bad time '" + text + "': expected \"MM/DD HH:MM:SS\"");
    }
    return {0, month, day, hour, minute, second};
}

int CommCode(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {"--name", "--time"}, {});
    auto name = options.Value("--name");
    auto time = options.Value("--time");
    if (!name || !time || !options.Positional().empty()) {
        throw UsageError("usage: lockframe commcode --name NAME --time \"MM/DD HH:MM:SS\"");
    }
    std::uint16_t code = protocol::CommunicationCode(ParseCreationTime(*time), *name);
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", code);
    out << code << " (0x" << hex << ")\n";
    return 0;
}

int Password(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {}, {});
    RequirePositional(options, 1, 1, "password TEXT");
    out << protocol::DerivedPassword(options.Positional()[0]) << "\n";
    return 0;
}

std::optional<protocol::CivilDateTime> ParseIsoDate(const std::string& text) {
    int year, month, day;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > protocol::DaysInMonth(year, month)) {
        throw UsageError("no such date '" + text + "'");
    }
    return protocol::CivilDateTime{year, month, day, 0, 0, 0};
}

int Date(const std::vector<std::string>& args, std::ostream& out) {
    Options options(args, {"--today"}, {});
    RequirePositional(options, 1, 1, "date WORD|YYYY-MM-DD [--today YYYY-MM-DD]");
    const std::string& value = options.Positional()[0];
    if (auto date = ParseIsoDate(value)) {
        std::uint16_t word = protocol::PackDate(*date);
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", word);
        out << word << " (0x" << hex << ")\n";
        return 0;
    }
    int currentYear = protocol::LocalNow().year;
    if (auto today = options.Value("--today")) {
        auto parsed = ParseIsoDate(*today);
        if (!parsed) throw UsageError("bad --today '" + *today + "': expected YYYY-MM-DD");
        currentYear = parsed->year;
    }
    auto word = static_cast<std::uint16_t>(ParseNumber(value, 0, 0xFFFF, "date word"));
    auto date = protocol::UnpackDate(word, currentYear);
    if (!date) {
        out << "no date (month, day or year out of range)\n";
        return 1;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date->year, date->month, date->day);
    out << text << "\n";
    return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        if (command == "encode") return Encode(rest, out);
        if (command == "decode") return Decode(rest, out, err);
        if (command == "ir-decode") return IrDecode(rest, out);
        if (command == "pin") return Pin(rest, out);
        if (command == "mix") return Mix(rest, out);
        if (command == "commcode") return CommCode(rest, out);
        if (command == "password") return Password(rest, out);
        if (command == "date") return Date(rest, out);
        if (command == "demo") return RunDemo(out);
        throw UsageError("unknown command '" + command + "'\n" + kUsage);
    } catch (const UsageError& e) {
        err << "lockframe: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace lockframe
