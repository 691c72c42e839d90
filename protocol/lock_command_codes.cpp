#include "lock_command_codes.h"

namespace protocol {

std::string LockCommandDisplayName(int code) {
    switch (code) {
        case LOCK_COMMAND_CODE_PGM_TIMEOUT: return "Programming Timeout";
        case LOCK_COMMAND_CODE_FRAME_ERROR: return "Frame Error";
        case LOCK_COMMAND_CODE_CRC_ERROR: return "CRC Error";
        case LOCK_COMMAND_CODE_NACK: return "NACK";
        case LOCK_COMMAND_CODE_ACK: return "ACK";
        case LOCK_COMMAND_CODE_WAKEUP: return "Wakeup";
        case LOCK_COMMAND_CODE_GET_CERT: return "Get Logon Cert";
        case LOCK_COMMAND_CODE_LOGON: return "Logon";
        case LOCK_COMMAND_CODE_LOGOFF: return "Logoff";
        case LOCK_COMMAND_CODE_IDLE: return "Idle Mode";
        case LOCK_COMMAND_CODE_ABORT: return "Abort Session";
        case LOCK_COMMAND_CODE_SET_FACILITY: return "Set Facility Code";
        case LOCK_COMMAND_CODE_SET_ADDRESS: return "Set Lock Address";
        case LOCK_COMMAND_CODE_GET_CLOCK: return "Get clock data";
        case LOCK_COMMAND_CODE_SET_CLOCK: return "Set clock data";
        case LOCK_COMMAND_CODE_GET_LEVEL: return "Get Access & Group Levels";
        case LOCK_COMMAND_CODE_SET_LEVEL: return "Set Access & Group Levels";
        case LOCK_COMMAND_CODE_GET_VERSION: return "Get Version Number";
        case LOCK_COMMAND_CODE_SET_DELAY: return "Set Open Delay Time";
        case LOCK_COMMAND_CODE_GET_DRIVE_STAT: return "Get Drive Status";
        case LOCK_COMMAND_CODE_RUN_DRIVE_TEST: return "Run Drive Test";
        case LOCK_COMMAND_CODE_DEL_USERS: return "Delete Users";
        case LOCK_COMMAND_CODE_WRITE_USER: return "Write User Record";
        case LOCK_COMMAND_CODE_WRITE_SCHED: return "Write Time Schedule";
        case LOCK_COMMAND_CODE_WRITE_HOLIDAY: return "Write Holiday List";
        case LOCK_COMMAND_CODE_WRITE_PINTBL: return "Write PIN Table";
        case LOCK_COMMAND_CODE_GET_AUDITPAGE: return "Get Audit Log Data";
        case LOCK_COMMAND_CODE_GET_AUDITALL: return "Get Entire Audit Log";
        case LOCK_COMMAND_CODE_END_AUDITBATCH: return "End Audit Batch";
        case LOCK_COMMAND_CODE_SET_AUDITCOUNT: return "Set Audit Record Counter";
        case LOCK_COMMAND_CODE_GET_KEY_VAL: return "Get Key Press Value";
        case LOCK_COMMAND_CODE_COPY_BANKS: return "Copy Banks";
        case LOCK_COMMAND_CODE_LOAD_PGM_FILE: return "Initiate PGM Download";
        case LOCK_COMMAND_CODE_CLEAR_SHADOW: return "Clear ROM Shadow";
        case LOCK_COMMAND_CODE_WRITE_SHADOW: return "Write ROM Shadow";
        case LOCK_COMMAND_CODE_WRITE_FLASH: return "Write Flash/Bank Address";
        case LOCK_COMMAND_CODE_LOAD_FLASHER: return "Load Flasher";
        case LOCK_COMMAND_CODE_REQ_AUDITALL: return "Audit All";
        default: return "UNKNOWN (" + std::to_string(code) + ")";
    }
}

}  // namespace protocol
