#include "tools/lockframe/demo.h"

#include <cstdio>
#include <string>

#include "protocol/hex.h"
#include "protocol/lock_command_codes.h"
#include "protocol/lock_parser.h"
#include "protocol/logon_info.h"
#include "protocol/mixing.h"
#include "protocol/packed_date.h"

namespace lockframe {
namespace {

using protocol::Bytes;
using protocol::ToHex;

std::string Format(const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string DateText(const protocol::CivilDateTime& d) {
    return Format("%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
}

// One end of the link: a frame codec and the last message it received.
struct Station {
    const char* name;
    protocol::clsLockParser parser;
    std::int16_t command = -1;
    Bytes data;

    explicit Station(const char* n) : name(n) {
        parser.SetMsgReceived([this](std::int16_t c, const Bytes& d) {
            command = c;
            data = d;
        });
    }
};

class Exchange {
  public:
    explicit Exchange(std::ostream& out) : out_(out) {}

    // Frames a message at `from`, prints it annotated, and feeds it to `to`.
    void Send(Station& from, Station& to, std::int16_t code, const Bytes& data,
              const std::string& what) {
        Bytes frame = from.parser.BuildMessage(code, data);
        out_ << "\n"
             << ++step_ << ". " << from.name << " -> " << to.name << "  "
             << protocol::LockCommandDisplayName(code) << Format(" (%02X)", code) << ": " << what
             << "\n   wire: " << ToHex(frame) << "\n";
        std::size_t bofs = static_cast<std::size_t>(from.parser.BOFCount());
        Line(Format("BOF x%zu", bofs), ToHex(Bytes(frame.begin(), frame.begin() + bofs)));
        Line("code", Format("%02X", frame[bofs]));
        Bytes wireData(frame.begin() + bofs + 1, frame.end() - 2);
        if (!wireData.empty()) Line("data", ToHex(wireData));
        for (std::size_t i = 0; i + 1 < wireData.size(); ++i) {
            if (wireData[i] == protocol::kFrameEscape) {
                Line("", Format("(CE %02X stands for the data byte %02X)", wireData[i + 1],
                                wireData[i + 1] ^ 0x20));
            }
        }
        Line("check", Format("%02X", frame[frame.size() - 2]) + "  (over code and raw data)");
        Line("EOF", "C1");
        to.command = -1;
        to.parser.ParseBytes(frame);
    }

    void Note(const std::string& text) { out_ << "   " << text << "\n"; }

  private:
    void Line(const std::string& label, const std::string& bytes) {
        out_ << "     " << label << std::string(9 - label.size(), ' ') << bytes << "\n";
    }

    std::ostream& out_;
    int step_ = 0;
};

Bytes LogonReply(const protocol::CivilDateTime& lockClock) {
    const std::uint16_t battery = 6120, hardwareClass = 2;
    const std::uint32_t drives = 48213, cards = 968;
    std::uint16_t date = protocol::PackDate(lockClock);
    return {0x00,
            static_cast<std::uint8_t>(battery >> 8),
            static_cast<std::uint8_t>(battery),
            static_cast<std::uint8_t>(hardwareClass >> 8),
            static_cast<std::uint8_t>(hardwareClass),
            3,
            12,
            static_cast<std::uint8_t>(drives >> 24),
            static_cast<std::uint8_t>(drives >> 16),
            static_cast<std::uint8_t>(drives >> 8),
            static_cast<std::uint8_t>(drives),
            static_cast<std::uint8_t>(cards >> 24),
            static_cast<std::uint8_t>(cards >> 16),
            static_cast<std::uint8_t>(cards >> 8),
            static_cast<std::uint8_t>(cards),
            static_cast<std::uint8_t>(date >> 8),
            static_cast<std::uint8_t>(date),
            static_cast<std::uint8_t>(lockClock.hour),
            static_cast<std::uint8_t>(lockClock.minute)};
}

}  // namespace

int RunDemo(std::ostream& out) {
    const char* facility = "Demo Facility";
    const protocol::CivilDateTime created{2026, 3, 14, 9, 26, 53};
    const protocol::CivilDateTime logonMoment{2026, 12, 8, 15, 26, 42};
    const protocol::CivilDateTime lockClock{2026, 12, 8, 15, 24, 0};
    const std::uint16_t lockAddress = 0x0102;
    const std::uint8_t challenge = 0x5A;
    const std::uint16_t commCode = protocol::CommunicationCode(created, facility);

    out << "Log-on exchange between a handheld and a lock\n"
        << "Facility \"" << facility << "\" created "
        << Format("%02d/%02d %02d:%02d:%02d", created.month, created.day, created.hour,
                  created.minute, created.second)
        << Format(": communication code %u (0x%04X)\n", commCode, commCode) << "Lock address "
        << Format("0x%04X", lockAddress) << ", log-on moment " << DateText(logonMoment) << "\n";

    Station pc("handheld");
    Station lock("lock");
    Exchange exchange(out);

    exchange.Send(lock, pc, protocol::LOCK_COMMAND_CODE_WAKEUP, {},
                  "a user entered a master ID at the lock");
    exchange.Send(pc, lock, protocol::LOCK_COMMAND_CODE_GET_CERT, {}, "ask for the challenge");
    exchange.Send(lock, pc, protocol::LOCK_COMMAND_CODE_GET_CERT,
                  {static_cast<std::uint8_t>(lockAddress >> 8),
                   static_cast<std::uint8_t>(lockAddress), challenge},
                  "lock address and challenge byte");

    // The handheld answers what it decoded, not what the lock meant to send.
    std::uint16_t heardAddress = protocol::ReadBigEndian16(pc.data, 0);
    auto seed = protocol::LogonSeed(heardAddress, pc.data[2], commCode);
    Bytes response = protocol::GeneratePIN(seed);
    exchange.Note("seed " + ToHex(seed) + " (address, challenge, communication code)");
    exchange.Note("response " + ToHex(response) + " = mix(seed), then mix(P0 P1 S2 S3 S4)[0]");

    protocol::clsLogonInfo logon(logonMoment);
    exchange.Send(pc, lock, protocol::LOCK_COMMAND_CODE_LOGON, logon.Build(response),
                  "response bytes, then the PC clock (YY MM DD hh mm ss)");
    Bytes expected = protocol::GeneratePIN(protocol::LogonSeed(lockAddress, challenge, commCode));
    bool accepted = Bytes(lock.data.begin(), lock.data.begin() + 3) == expected;
    exchange.Note(std::string("lock computes ") + ToHex(expected) +
                  (accepted ? ": response accepted" : ": response refused"));
    if (!accepted) return 1;

    exchange.Send(lock, pc, protocol::LOCK_COMMAND_CODE_LOGON, LogonReply(lockClock),
                  "lock status, counters and clock");
    logon.Parse(pc.data);
    exchange.Note(Format("status %u, battery %u mV, hardware class %u, version %u.%02u",
                         logon.StatusCode(), logon.BatteryLevel(), logon.HardwareClass(),
                         logon.Release(), logon.Revision()));
    exchange.Note(Format("drive count %u, card count %u", logon.DriveCount(), logon.CardCount()));
    exchange.Note("lock clock " + DateText(logon.LockDate()) + " (the PC clock reads " +
                  DateText(logonMoment) + ")");
    out << "\nLogged on.\n";
    return 0;
}

}  // namespace lockframe
