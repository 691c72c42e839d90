// The stand-in's script: one step per line, words separated by blanks,
// "#" starts a comment. See kScriptHelp for the language.
#include "tools/ferrow_standin/standin_script.h"

#include <charconv>
#include <map>
#include <set>
#include <sstream>

#include "protocol/audit_block.h"
#include "protocol/packed_date.h"

namespace ferrow_standin {

const char* const kScriptHelp = R"(Script lines (blank lines and text after # are ignored):
  visit LOCK [YYYY-MM-DD HH:MM] [deliver=N] [volts=N] [hw=N] [fw=N] [drive=N] [cards=N]
      The handheld exchanged with the lock: its undelivered programming records
      (the first N with deliver=N) are marked delivered, and its enrolled-lock
      entry takes the exchange time (default: now) with the status "programmed"
      and the values given. A lock without an entry is a guest: a guest record
      is written instead.
  guest LOCK [YYYY-MM-DD HH:MM] [volts=N] [hw=N] [fw=N] [drive=N] [cards=N]
      A guest record: an audit block with first key 0 and one status entry
      (defaults: volts=6000, the others 0).
  audit LOCK FIRSTKEY
    event TYPE YYYY-MM-DD HH:MM SLOT [LEVEL] [GROUPS]
        TYPE: a number or logon, entry, attempt, setlevel (LEVEL and GROUPS
        follow), setgroups (GROUPS follows), antitamper, remote, keyentry,
        setclock, keyonly; SLOT: the lock user index 0-2047, or none.
    status [YYYY-MM-DD HH:MM] [volts=N] [hw=N] [fw=N] [drive=N] [cards=N]
    raw HEX...
        Bytes as they are (end markers, entries cut short).
  end
      One audit block: FIRSTKEY is the audit key of its first event, each
      later event takes the next lower key.
  block LOCK [HEX...]
      An audit record holding exactly these bytes.
Numbers are decimal or 0x hexadecimal. LOCK is a lock address (1-65535; audit
and block also take 0).
)";

namespace {

using Words = std::vector<std::string>;

constexpr std::uint16_t kDefaultMillivolts = 6000;

Words Split(const std::string& line) {
    std::istringstream in(line.substr(0, line.find('#')));
    Words words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::uint64_t Number(int line, const std::string& text, std::uint64_t min, std::uint64_t max,
                     const std::string& what) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last || value < min || value > max) {
        throw ScriptError(line, what + " must be a number from " + std::to_string(min) + " to " +
                                    std::to_string(max) + ", not '" + text + "'");
    }
    return value;
}

int Field(int line, const std::string& text, std::size_t at, std::size_t length) {
    return static_cast<int>(Number(line, text.substr(at, length), 0, 9999, "a date or time field"));
}

bool IsDate(const std::string& word) {
    return word.size() == 10 && word[4] == '-' && word[7] == '-';
}

protocol::CivilDateTime Moment(int line, const std::string& date, const std::string& time) {
    if (!IsDate(date) || time.size() != 5 || time[2] != ':')
        throw ScriptError(line, "expected a date and time YYYY-MM-DD HH:MM");
    protocol::CivilDateTime t{Field(line, date, 0, 4), Field(line, date, 5, 2),
                              Field(line, date, 8, 2), Field(line, time, 0, 2),
                              Field(line, time, 3, 2), 0};
    if (t.day < 1 || t.day > protocol::DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59)
        throw ScriptError(line, "no such date and time: " + date + " " + time);
    return t;
}

// An optional date and time at words[at]; moves `at` past it.
std::optional<protocol::CivilDateTime> OptionalMoment(int line, const Words& w, std::size_t& at) {
    if (at >= w.size() || !IsDate(w[at])) return std::nullopt;
    if (at + 1 >= w.size()) throw ScriptError(line, "the date " + w[at] + " needs a time HH:MM");
    at += 2;
    return Moment(line, w[at - 2], w[at - 1]);
}

// name=value words from words[at] on, each name at most once and among
// `allowed`.
std::map<std::string, std::string> Settings(int line, const Words& w, std::size_t at,
                                            const std::set<std::string>& allowed) {
    std::map<std::string, std::string> settings;
    for (; at < w.size(); ++at) {
        const std::size_t equals = w[at].find('=');
        const std::string name = w[at].substr(0, equals);
        if (equals == std::string::npos || !allowed.count(name))
            throw ScriptError(line, "unexpected '" + w[at] + "'");
        if (!settings.emplace(name, w[at].substr(equals + 1)).second)
            throw ScriptError(line, name + " is given twice");
    }
    return settings;
}

const std::set<std::string> kReportNames = {"volts", "hw", "fw", "drive", "cards"};

LockReport ReportOf(int line, const std::map<std::string, std::string>& settings) {
    LockReport r;
    auto get = [&](const char* name, std::uint64_t max) -> std::optional<std::uint64_t> {
        const auto it = settings.find(name);
        if (it == settings.end()) return std::nullopt;
        return Number(line, it->second, 0, max, name);
    };
    if (auto v = get("volts", 0xFFFF)) r.millivolts = static_cast<std::uint16_t>(*v);
    if (auto v = get("hw", 0xFFFF)) r.hardwareClass = static_cast<std::uint16_t>(*v);
    if (auto v = get("fw", 0xFFFF)) r.firmwareVersion = static_cast<std::uint16_t>(*v);
    if (auto v = get("drive", 0xFFFFFFFF)) r.driveCount = static_cast<std::uint32_t>(*v);
    if (auto v = get("cards", 0xFFFFFFFF)) r.cardCount = static_cast<std::uint32_t>(*v);
    return r;
}

int LockAddress(int line, const Words& w, std::uint64_t min) {
    if (w.size() < 2) throw ScriptError(line, w[0] + " needs a lock address");
    return static_cast<int>(Number(line, w[1], min, 0xFFFF, "the lock address"));
}

Visit ParseVisit(int line, const Words& w) {
    Visit v{line, LockAddress(line, w, 1), {}, {}, {}};
    std::size_t at = 2;
    v.when = OptionalMoment(line, w, at);
    std::set<std::string> allowed = kReportNames;
    allowed.insert("deliver");
    const auto settings = Settings(line, w, at, allowed);
    v.report = ReportOf(line, settings);
    if (const auto it = settings.find("deliver"); it != settings.end())
        v.deliver = static_cast<int>(Number(line, it->second, 0, 0xFFFF, "deliver"));
    return v;
}

Guest ParseGuest(int line, const Words& w) {
    Guest g{line, LockAddress(line, w, 1), {}, {}};
    std::size_t at = 2;
    g.when = OptionalMoment(line, w, at);
    g.report = ReportOf(line, Settings(line, w, at, kReportNames));
    return g;
}

protocol::Bytes Hex(int line, const Words& w, std::size_t at) {
    protocol::Bytes bytes;
    for (; at < w.size(); ++at) {
        const std::string& word = w[at];
        if (word.size() % 2 != 0) throw ScriptError(line, "odd number of hex digits: " + word);
        for (std::size_t i = 0; i < word.size(); i += 2) {
            const std::string pair = "0x" + word.substr(i, 2);
            bytes.push_back(static_cast<std::uint8_t>(Number(line, pair, 0, 0xFF, "a hex byte")));
        }
    }
    return bytes;
}

const std::map<std::string, int> kEventNames = {
    {"keyonly", protocol::kAuditKeyOnly},
    {"logon", protocol::kAuditLogOn},
    {"entry", protocol::kAuditEntry},
    {"attempt", protocol::kAuditAttempt},
    {"setlevel", protocol::kAuditSetAccessLevel},
    {"setgroups", protocol::kAuditSetGroupAccess},
    {"antitamper", protocol::kAuditAntitamper},
    {"remote", protocol::kAuditRemoteEntry},
    {"keyentry", protocol::kAuditKeyEntry},
    {"setclock", protocol::kAuditSetClock},
};

std::uint8_t EventType(int line, const std::string& word) {
    if (const auto it = kEventNames.find(word); it != kEventNames.end())
        return static_cast<std::uint8_t>(it->second);
    const auto type = static_cast<std::uint8_t>(Number(line, word, 1, 0xFE, "the event type"));
    if (type == protocol::kAuditEndAlternate)
        throw ScriptError(line, "type 15 ends a block: write it with raw");
    return type;
}

// event TYPE DATE TIME SLOT [LEVEL] [GROUPS]
void AppendEvent(int line, const Words& w, protocol::Bytes& block) {
    if (w.size() < 5) throw ScriptError(line, "event needs TYPE YYYY-MM-DD HH:MM SLOT");
    protocol::AuditEvent e;
    e.type = EventType(line, w[1]);
    const protocol::CivilDateTime t = Moment(line, w[2], w[3]);
    e.dateWord = protocol::PackDate(t);
    e.hour = t.hour;
    e.minute = t.minute;
    e.lockUserIndex = w[4] == "none" ? protocol::kAuditNoUserSlot
                                     : static_cast<int>(Number(line, w[4], 0, 2047, "the slot"));
    const std::size_t extras = protocol::AuditEventLength(e.type) - 6;
    if (w.size() != 5 + extras) {
        throw ScriptError(line, "event type " + std::to_string(e.type) + " takes " +
                                    std::to_string(extras) + " value(s) after the slot");
    }
    auto extra = [&](std::size_t i) {
        return static_cast<std::uint8_t>(Number(line, w[5 + i], 0, 0xFF, "a level or groups"));
    };
    if (e.type == protocol::kAuditSetAccessLevel) {
        e.accessLevel = extra(0);
        e.userGroups = extra(1);
    } else if (e.type == protocol::kAuditSetGroupAccess) {
        e.userGroups = extra(0);
    }
    protocol::AppendAuditEvent(block, e);
}

void AppendStatus(int line, const Words& w, protocol::Bytes& block) {
    std::size_t at = 1;
    const auto when = OptionalMoment(line, w, at);
    const LockReport report = ReportOf(line, Settings(line, w, at, kReportNames));
    protocol::AppendAuditStatus(block, StatusEntry(report, when.value_or(protocol::LocalNow())));
}

// Reads the script line by line; an audit block gathers its lines until
// its end.
class Parser {
  public:
    std::vector<Step> Run(std::istream& in) {
        int line = 0;
        for (std::string text; std::getline(in, text);) {
            const Words w = Split(text);
            ++line;
            if (!w.empty()) Line(line, w);
        }
        if (open_) throw ScriptError(open_->line, "audit block has no end");
        return std::move(steps_);
    }

  private:
    void Line(int line, const Words& w) {
        if (open_) return BlockLine(line, w);
        if (w[0] == "visit") return steps_.push_back(ParseVisit(line, w));
        if (w[0] == "guest") return steps_.push_back(ParseGuest(line, w));
        if (w[0] == "block") {
            const int lock = LockAddress(line, w, 0);
            return steps_.push_back(AuditRecord{line, lock, Hex(line, w, 2)});
        }
        if (w[0] == "audit") return OpenBlock(line, w);
        throw ScriptError(line, "unknown step '" + w[0] + "'");
    }

    void OpenBlock(int line, const Words& w) {
        const int lock = LockAddress(line, w, 0);
        if (w.size() != 3) throw ScriptError(line, "audit needs LOCK FIRSTKEY");
        const auto key = static_cast<std::uint32_t>(Number(line, w[2], 0, 0xFFFFFFFF, "FIRSTKEY"));
        open_ = AuditRecord{line, lock, protocol::EncodeAuditBlock(key, {})};
    }

    void BlockLine(int line, const Words& w) {
        if (w[0] == "event") return AppendEvent(line, w, open_->block);
        if (w[0] == "status") return AppendStatus(line, w, open_->block);
        if (w[0] == "raw") {
            const protocol::Bytes bytes = Hex(line, w, 1);
            open_->block.insert(open_->block.end(), bytes.begin(), bytes.end());
            return;
        }
        if (w[0] == "end" && w.size() == 1) {
            steps_.push_back(std::move(*open_));
            open_.reset();
            return;
        }
        throw ScriptError(line, "expected event, status, raw or end in the audit block from line " +
                                    std::to_string(open_->line));
    }

    std::vector<Step> steps_;
    std::optional<AuditRecord> open_;
};

}  // namespace

protocol::AuditStatus StatusEntry(const LockReport& report, const protocol::CivilDateTime& when) {
    protocol::AuditStatus s;
    s.supplyMillivolts = report.millivolts.value_or(kDefaultMillivolts);
    s.hardwareClass = report.hardwareClass.value_or(0);
    s.firmwareVersion = report.firmwareVersion.value_or(0);
    s.driveCount = report.driveCount.value_or(0);
    s.cardCount = report.cardCount.value_or(0);
    s.year = static_cast<std::uint8_t>(protocol::YearInCentury(when.year));
    s.month = static_cast<std::uint8_t>(when.month);
    s.day = static_cast<std::uint8_t>(when.day);
    s.hour = static_cast<std::uint8_t>(when.hour);
    s.minute = static_cast<std::uint8_t>(when.minute);
    return s;
}

std::vector<Step> ParseScript(std::istream& in) {
    return Parser().Run(in);
}

}  // namespace ferrow_standin
