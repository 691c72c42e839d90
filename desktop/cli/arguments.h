#pragma once

#include <QString>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tandrel::cli {

// A command line as its verb's handler reads it: the options given, and the
// other words in order (the command and the verb's words first).
class Arguments {
  public:
    // `options`: each option given with its value ("" for a flag);
    // `declared`: every option the handler may ask about.
    Arguments(std::vector<std::string> words, std::map<std::string, std::string> options,
              std::set<std::string> declared);

    // Each throws std::logic_error for an option that is not declared: a
    // handler asking for one would never see it given.
    bool Has(const std::string& option) const;
    QString Text(const std::string& option) const;
    // An option's whole number within [min, max]; `fallback` when absent.
    int Number(const std::string& option, int fallback, int min, int max) const;

    const std::vector<std::string>& Words() const { return words_; }
    QString Word(std::size_t index) const;

  private:
    void ExpectDeclared(const std::string& option) const;

    std::vector<std::string> words_;
    std::map<std::string, std::string> options_;
    std::set<std::string> declared_;
};

}  // namespace tandrel::cli
