// Reads arbitrary text as a handheld stand-in script: a bad script is
// refused with its line named, never a crash.
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/ferrow_standin/standin_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        ferrow_standin::ParseScript(in);
    } catch (const ferrow_standin::ScriptError&) {
    }
    return 0;
}
