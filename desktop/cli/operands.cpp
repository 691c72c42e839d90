#include "desktop/cli/operands.h"

#include <limits>
#include <sstream>
#include <stdexcept>

namespace tandrel::cli {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

[[noreturn]] void Unreadable(const std::string& operands) {
    throw std::logic_error("operands that cannot be counted: '" + operands + "'");
}

}  // namespace

Arity ArityOf(const std::string& operands) {
    Arity arity;
    bool optionalSeen = false;
    bool repeated = false;
    std::istringstream words(operands);
    for (std::string word; words >> word;) {
        if (repeated) Unreadable(operands);
        const bool optional = word.front() == '[';
        if (optional != EndsWith(word, "]")) Unreadable(operands);
        if (optional) word = word.substr(1, word.size() - 2);
        if (!optional && optionalSeen) Unreadable(operands);
        optionalSeen = optionalSeen || optional;
        repeated = EndsWith(word, "...");
        if (!optional) ++arity.min;
        ++arity.max;
    }
    if (repeated) arity.max = std::numeric_limits<std::size_t>::max();
    return arity;
}

}  // namespace tandrel::cli
