#include "desktop/cli/arguments.h"

#include <stdexcept>

#include "desktop/cli/usage_error.h"

namespace tandrel::cli {

Arguments::Arguments(std::vector<std::string> words, std::map<std::string, std::string> options,
                     std::set<std::string> declared)
    : words_(std::move(words)), options_(std::move(options)), declared_(std::move(declared)) {}

void Arguments::ExpectDeclared(const std::string& option) const {
    if (!declared_.count(option))
        throw std::logic_error("the verb reads " + option + ", which it does not declare");
}

bool Arguments::Has(const std::string& option) const {
    ExpectDeclared(option);
    return options_.count(option) > 0;
}

QString Arguments::Text(const std::string& option) const {
    ExpectDeclared(option);
    auto it = options_.find(option);
    return it == options_.end() ? QString() : QString::fromStdString(it->second);
}

int Arguments::Number(const std::string& option, int fallback, int min, int max) const {
    if (!Has(option)) return fallback;
    bool ok = false;
    int n = Text(option).toInt(&ok);
    if (!ok || n < min || n > max) {
        throw UsageError(option + " must be a number from " + std::to_string(min) + " to " +
                         std::to_string(max));
    }
    return n;
}

QString Arguments::Word(std::size_t index) const {
    return index < words_.size() ? QString::fromStdString(words_[index]) : QString();
}

}  // namespace tandrel::cli
