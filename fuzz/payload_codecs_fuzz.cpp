// Reads arbitrary reply payloads with the log-on, clock, access level,
// version and drive status codecs.
#include <cstdint>

#include "protocol/diag_info.h"
#include "protocol/lock_command_codes.h"
#include "protocol/logon_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    protocol::ByteView payload(data + 1, size - 1);
    protocol::clsLogonInfo logon({2026, 12, 8, 12, 0, 0});
    protocol::clsDiagInfo diag;
    switch (data[0] % 4) {
        case 0:
            logon.Parse(payload);
            logon.Build(payload);
            break;
        case 1: logon.ParseTime(payload); break;
        default:
            diag.ParseData(protocol::LOCK_COMMAND_CODE_GET_LEVEL, payload);
            diag.ParseData(protocol::LOCK_COMMAND_CODE_GET_VERSION, payload);
            diag.ParseData(protocol::LOCK_COMMAND_CODE_GET_DRIVE_STAT, payload);
            diag.ParseData(static_cast<std::int16_t>(data[0]), payload);
            break;
    }
    return 0;
}
