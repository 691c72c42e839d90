#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "protocol/audit_block.h"
#include "protocol/bytes.h"
#include "protocol/civil_time.h"

namespace ferrow_standin {

// A script line that cannot be carried out; names the line.
struct ScriptError : std::runtime_error {
    ScriptError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line(line) {}
    int line;
};

// What a lock reported when the handheld logged on; unset values are not
// known to the script.
struct LockReport {
    std::optional<std::uint16_t> millivolts, hardwareClass, firmwareVersion;
    std::optional<std::uint32_t> driveCount, cardCount;
};

// The handheld visited a lock: its queued programming went out (the first
// `deliver` records, all when unset) and the visit was recorded in its
// enrolled-lock entry. A lock without one is a guest: a guest record
// instead.
struct Visit {
    int line = 0;
    int lockAddress = 0;
    std::optional<protocol::CivilDateTime> when;  // unset: now
    std::optional<int> deliver;
    LockReport report;
};

// A guest record: a status-only audit block with first key 0.
struct Guest {
    int line = 0;
    int lockAddress = 0;
    std::optional<protocol::CivilDateTime> when;
    LockReport report;
};

// One audit record as it goes to the handheld.
struct AuditRecord {
    int line = 0;
    int lockAddress = 0;
    protocol::Bytes block;
};

using Step = std::variant<Visit, Guest, AuditRecord>;

// The status entry of a lock report (volts 6000 and zeros where unset).
protocol::AuditStatus StatusEntry(const LockReport& report, const protocol::CivilDateTime& when);

// Reads a whole script; throws ScriptError at the first bad line, so a
// script runs entirely or not at all.
std::vector<Step> ParseScript(std::istream& in);

// The script language, for --help.
extern const char* const kScriptHelp;

}  // namespace ferrow_standin
