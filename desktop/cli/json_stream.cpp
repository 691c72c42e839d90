#include "desktop/cli/json_stream.h"

namespace tandrel::cli {
namespace {

void AppendEscape(std::string& out, unsigned char c) {
    switch (c) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\b': out += "\\b"; return;
        case '\f': out += "\\f"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: break;
    }
    static const char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

}  // namespace

void AppendJsonString(std::string& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    AppendJsonString(out,
                     std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == '"' || c == '\\') {
            AppendEscape(out, c);
        } else {
            out += ch;
        }
    }
    out += '"';
}

void JsonObjectText::Key(std::string_view key) {
    if (text_.size() > 1) text_ += ',';
    text_ += '"';
    text_ += key;
    text_ += "\":";
}

JsonObjectText& JsonObjectText::Add(std::string_view key, const QString& text) {
    Key(key);
    AppendJsonString(text_, text);
    return *this;
}

JsonObjectText& JsonObjectText::Add(std::string_view key, const std::string& utf8) {
    Key(key);
    AppendJsonString(text_, utf8);
    return *this;
}

JsonObjectText& JsonObjectText::Add(std::string_view key, qint64 number) {
    Key(key);
    text_ += std::to_string(number);
    return *this;
}

JsonObjectText& JsonObjectText::Add(std::string_view key, bool flag) {
    Key(key);
    text_ += flag ? "true" : "false";
    return *this;
}

JsonObjectText& JsonObjectText::AddNull(std::string_view key) {
    Key(key);
    text_ += "null";
    return *this;
}

JsonArrayStream::JsonArrayStream(std::ostream& out) : out_(out) {
    out_ << '[';
}

void JsonArrayStream::Add(const JsonObjectText& element) {
    if (!first_) out_ << ',';
    first_ = false;
    out_ << element.Text();
}

void JsonArrayStream::End() {
    out_ << "]\n";
}

}  // namespace tandrel::cli
