#include "options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "protocol/hex.h"

namespace lockframe {
namespace {
bool Contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}
}  // namespace

Options::Options(const std::vector<std::string>& words,
                 const std::vector<std::string>& valueOptions,
                 const std::vector<std::string>& flagOptions) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            positional_.push_back(word);
        } else if (Contains(flagOptions, word)) {
            values_[word] = "";
        } else if (Contains(valueOptions, word)) {
            if (i + 1 >= words.size()) throw UsageError("option " + word + " needs a value");
            values_[word] = words[++i];
        } else {
            throw UsageError("unknown option " + word);
        }
    }
}

std::optional<std::string> Options::Value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

long ParseNumber(const std::string& text, long min, long max, const std::string& what) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(digits, &end, hex ? 16 : 10);
    bool whole = !text.empty() && *digits != '\0' && *digits != '-' && *digits != '+' &&
                 *end == '\0' && errno == 0;
    if (!whole || value < min || value > max) {
        throw UsageError("bad " + what + " '" + text + "': expected a number from " +
                         std::to_string(min) + " to " + std::to_string(max));
    }
    return value;
}

protocol::Bytes ParseHexArgument(const std::string& text, const std::string& what) {
    std::optional<protocol::Bytes> bytes = protocol::ParseHex(text);
    if (!bytes) {
        throw UsageError("bad hex in " + what + " '" + text +
                         "': expected two-digit hex groups such as \"C0 10 9D C1\"");
    }
    return *bytes;
}

}  // namespace lockframe
