#pragma once

#include <QString>

#include <ostream>
#include <string>
#include <string_view>

namespace tandrel::cli {

// The text of one JSON object, built member by member in the order given.
// Lists of a million rows print one of these per row, which costs a tenth
// of building a QJsonObject and serialising it.
class JsonObjectText {
  public:
    JsonObjectText& Add(std::string_view key, const QString& text);
    JsonObjectText& Add(std::string_view key, const std::string& utf8);
    JsonObjectText& Add(std::string_view key, qint64 number);
    JsonObjectText& Add(std::string_view key, int number) {
        return Add(key, static_cast<qint64>(number));
    }
    JsonObjectText& Add(std::string_view key, bool flag);
    // A literal would otherwise be taken for a flag.
    JsonObjectText& Add(std::string_view key, const char* text) = delete;
    JsonObjectText& AddNull(std::string_view key);
    // The object's text, closed.
    std::string Text() const { return text_ + '}'; }

  private:
    void Key(std::string_view key);
    std::string text_ = "{";
};

// `text` as a JSON string: quoted, with quotes, backslashes and control
// characters escaped, in UTF-8.
void AppendJsonString(std::string& out, std::string_view utf8);
void AppendJsonString(std::string& out, const QString& text);

// A JSON array written element by element as the rows come, so printing a
// list never holds the list. Only End() closes the array: a list cut short
// by an error does not read as a whole one.
class JsonArrayStream {
  public:
    explicit JsonArrayStream(std::ostream& out);

    void Add(const JsonObjectText& element);
    void End();

  private:
    std::ostream& out_;
    bool first_ = true;
};

}  // namespace tandrel::cli
