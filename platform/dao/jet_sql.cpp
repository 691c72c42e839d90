#include "platform/dao/jet_sql.h"

#include <QDateTime>

#include <vector>

#include "platform/dao/error.h"
#include "platform/dao/sqlite.h"
#include "platform/dao/value.h"

namespace dao {
namespace {

constexpr int kErrSyntax = 3075;

enum class Kind { Space, Name, String, Number, Date, Keyword, Symbol };

struct Token {
    Kind kind;
    QString text;  // names without brackets, strings without quotes
    bool bracketed = false;
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

const QStringList& Keywords() {
    static const QStringList words = {
        "SELECT", "FROM", "WHERE", "AND",   "OR",    "NOT",    "ORDER",    "BY",   "ASC",
        "DESC",   "LEFT", "RIGHT", "INNER", "OUTER", "JOIN",   "ON",       "AS",   "BETWEEN",
        "LIKE",   "IS",   "NULL",  "IN",    "GROUP", "HAVING", "DISTINCT", "TRUE", "FALSE"};
    return words;
}

[[noreturn]] void SyntaxError(const QString& text) {
    throw Error(kErrSyntax, QStringLiteral("Syntax error in query expression '%1'.").arg(text));
}

QString ReadQuoted(const QString& text, int& i, QChar quote) {
    QString value;
    ++i;
    while (true) {
        if (i >= text.size()) SyntaxError(text);
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                value += quote;
                i += 2;
                continue;
            }
            ++i;
            return value;
        }
        value += text[i++];
    }
}

std::vector<Token> Tokenize(const QString& text) {
    std::vector<Token> tokens;
    int i = 0;
    while (i < text.size()) {
        QChar c = text[i];
        if (c.isSpace()) {
            int start = i;
            while (i < text.size() && text[i].isSpace()) ++i;
            tokens.push_back({Kind::Space, text.mid(start, i - start)});
        } else if (c == QLatin1Char('[')) {
            int end = text.indexOf(QLatin1Char(']'), i);
            if (end < 0) SyntaxError(text);
            tokens.push_back({Kind::Name, text.mid(i + 1, end - i - 1), true});
            i = end + 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            tokens.push_back({Kind::String, ReadQuoted(text, i, c)});
        } else if (c == QLatin1Char('#')) {
            int end = text.indexOf(QLatin1Char('#'), i + 1);
            if (end < 0) SyntaxError(text);
            tokens.push_back({Kind::Date, text.mid(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c.isDigit()) {
            int start = i;
            while (i < text.size() && (text[i].isDigit() || text[i] == QLatin1Char('.'))) ++i;
            tokens.push_back({Kind::Number, text.mid(start, i - start)});
        } else if (IsWordChar(c)) {
            int start = i;
            while (i < text.size() && IsWordChar(text[i])) ++i;
            QString word = text.mid(start, i - start);
            bool keyword = Keywords().contains(word.toUpper());
            tokens.push_back(
                {keyword ? Kind::Keyword : Kind::Name, keyword ? word.toUpper() : word});
        } else {
            static const QStringList pairs = {"<=", ">=", "<>"};
            QString two = text.mid(i, 2);
            QString symbol = pairs.contains(two) ? two : QString(c);
            tokens.push_back({Kind::Symbol, symbol});
            i += static_cast<int>(symbol.size());
        }
    }
    return tokens;
}

bool IsSymbol(const Token& t, const char* symbol) {
    return t.kind == Kind::Symbol && t.text == QLatin1String(symbol);
}
bool IsKeyword(const Token& t, const char* word) {
    return t.kind == Kind::Keyword && t.text == QLatin1String(word);
}

std::string DateLiteral(const QString& text) {
    static const char* formats[] = {"M/d/yyyy H:mm:ss", "M/d/yyyy H:mm", "M/d/yyyy",
                                    "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"};
    for (const char* format : formats) {
        QDateTime moment = QDateTime::fromString(text.trimmed(), QLatin1String(format));
        if (moment.isValid()) return std::to_string(DateTimeToStorage(moment));
    }
    SyntaxError(text);
}

// A LIKE pattern from a literal: * and ? are wildcards, everything else
// (SQLite's % and _ and the escape character !) matches itself.
QString LikePattern(const QString& literal) {
    QString pattern;
    for (QChar c : literal) {
        if (c == QLatin1Char('*')) {
            pattern += QLatin1Char('%');
        } else if (c == QLatin1Char('?')) {
            pattern += QLatin1Char('_');
        } else {
            if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('!')) {
                pattern += QLatin1Char('!');
            }
            pattern += c;
        }
    }
    return pattern;
}

class Translator {
  public:
    Translator(const QString& text, const QStringList& parameters)
        : text_(text), tokens_(Tokenize(text)), parameters_(parameters) {}

    TranslatedSql Run() {
        std::size_t i = 0;
        while (i < tokens_.size()) i = Emit(i, out_);
        // A trailing ";" and line break end stored queries; SQLite wants neither.
        while (!out_.empty() &&
               (out_.back() == ';' || isspace(static_cast<unsigned char>(out_.back())))) {
            out_.pop_back();
        }
        TranslatedSql result;
        result.sql = out_;
        if (selectBegin_ != std::string::npos && fromBegin_ != std::string::npos) {
            result.selectList = out_.substr(selectBegin_, fromBegin_ - selectBegin_);
            result.fromClause = out_.substr(fromBegin_);
            if (fromNames_ == 1 && !joined_) result.singleTable = fromTable_;
        }
        return result;
    }

  private:
    // Emits the token at i (and what belongs to it) and returns the next index.
    std::size_t Emit(std::size_t i, std::string& out) {
        const Token& t = tokens_[i];
        switch (t.kind) {
            case Kind::Space: out += t.text.toStdString(); break;
            case Kind::String: out += sqlite::Literal(t.text); break;
            case Kind::Number: out += t.text.toStdString(); break;
            case Kind::Date: out += DateLiteral(t.text); break;
            case Kind::Symbol: EmitSymbol(t, out); break;
            case Kind::Keyword: return EmitKeyword(i, out);
            case Kind::Name: EmitName(i, out); break;
        }
        return i + 1;
    }

    void EmitSymbol(const Token& t, std::string& out) {
        if (t.text == QLatin1String("&")) {
            out += "||";
            return;
        }
        if (t.text == QLatin1String("(")) ++depth_;
        if (t.text == QLatin1String(")")) --depth_;
        out += t.text.toStdString();
    }

    std::size_t EmitKeyword(std::size_t i, std::string& out) {
        const Token& t = tokens_[i];
        if (t.text == QLatin1String("TRUE")) {
            out += "1";
        } else if (t.text == QLatin1String("FALSE")) {
            out += "0";
        } else if (t.text == QLatin1String("LIKE")) {
            out += "LIKE";
            return EmitLikeOperand(i + 1, out);
        } else {
            out += t.text.toStdString();
        }
        if (depth_ == 0 && &out == &out_) TrackClauses(t);
        if (depth_ == 0 && t.text == QLatin1String("SELECT") && selectBegin_ == std::string::npos) {
            selectBegin_ = out_.size();
        }
        return i + 1;
    }

    void TrackClauses(const Token& t) {
        if (t.text == QLatin1String("FROM") && fromBegin_ == std::string::npos) {
            fromBegin_ = out_.size() - 4;
            inFrom_ = true;
        } else if (t.text == QLatin1String("WHERE") || t.text == QLatin1String("ORDER") ||
                   t.text == QLatin1String("GROUP") || t.text == QLatin1String("HAVING")) {
            inFrom_ = false;
        } else if (t.text == QLatin1String("JOIN") && inFrom_) {
            joined_ = true;
        }
    }

    bool IsQualified(std::size_t i) const {
        bool before = i > 0 && IsSymbol(tokens_[i - 1], ".");
        bool after = i + 1 < tokens_.size() && IsSymbol(tokens_[i + 1], ".");
        return before || after;
    }

    int ParameterIndex(std::size_t i) const {
        if (IsQualified(i)) return -1;
        for (int p = 0; p < parameters_.size(); ++p) {
            if (parameters_[p].compare(tokens_[i].text, Qt::CaseInsensitive) == 0) return p;
        }
        return -1;
    }

    void EmitName(std::size_t i, std::string& out) {
        const Token& t = tokens_[i];
        int parameter = ParameterIndex(i);
        if (parameter >= 0) {
            out += "?" + std::to_string(parameter + 1);
            return;
        }
        bool function = !t.bracketed && i + 1 < tokens_.size() && IsSymbol(tokens_[i + 1], "(");
        if (function) {
            out += t.text.toStdString();
            return;
        }
        out += sqlite::Quote(t.text);
        if (inFrom_ && depth_ == 0 && &out == &out_ && !IsQualified(i)) {
            ++fromNames_;
            fromTable_ = t.text;
        }
    }

    // The operand of LIKE: terms joined by &, up to the end of the
    // expression. Literal terms are patterns; every other term matches
    // itself.
    std::size_t EmitLikeOperand(std::size_t i, std::string& out) {
        int depth = 0;
        bool any = false;
        while (i < tokens_.size()) {
            const Token& t = tokens_[i];
            if (depth == 0 &&
                (IsSymbol(t, ")") || IsSymbol(t, ";") || IsKeyword(t, "AND") ||
                 IsKeyword(t, "OR") || IsKeyword(t, "ORDER") || IsKeyword(t, "GROUP"))) {
                break;
            }
            if (t.kind == Kind::Space) {
                out += t.text.toStdString();
                ++i;
            } else if (depth == 0 && IsSymbol(t, "&")) {
                out += "||";
                ++i;
            } else if (t.kind == Kind::String && depth == 0) {
                out += sqlite::Literal(LikePattern(t.text));
                any = true;
                ++i;
            } else {
                // A term: one name or parameter, or a parenthesised expression.
                std::string term;
                std::size_t next = i;
                do {
                    if (IsSymbol(tokens_[next], "(")) ++depth;
                    if (IsSymbol(tokens_[next], ")")) --depth;
                    next = EmitTermToken(next, term);
                } while (next < tokens_.size() && (depth > 0 || IsSymbol(tokens_[next], ".") ||
                                                   IsSymbol(tokens_[next - 1], ".")));
                out += "qx_like_escape(" + term + ")";
                any = true;
                i = next;
            }
        }
        if (!any) SyntaxError(text_);
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += " ESCAPE '!'";
        if (i < tokens_.size() && tokens_[i].kind != Kind::Space) out += " ";
        return i;
    }

    std::size_t EmitTermToken(std::size_t i, std::string& out) {
        const Token& t = tokens_[i];
        if (t.kind == Kind::Name) {
            EmitName(i, out);
            return i + 1;
        }
        if (t.kind == Kind::Symbol) {
            out += t.text == QLatin1String("&") ? std::string("||") : t.text.toStdString();
            return i + 1;
        }
        return Emit(i, out);
    }

    QString text_;
    std::vector<Token> tokens_;
    QStringList parameters_;
    std::string out_;
    int depth_ = 0;
    std::size_t selectBegin_ = std::string::npos;
    std::size_t fromBegin_ = std::string::npos;
    bool inFrom_ = false;
    bool joined_ = false;
    int fromNames_ = 0;
    QString fromTable_;
};

void LikeEscape(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    int length = sqlite3_value_bytes(values[0]);
    std::string escaped;
    escaped.reserve(static_cast<std::size_t>(length) + 4);
    for (int k = 0; k < length; ++k) {
        char c = text[k];
        if (c == '%' || c == '_' || c == '!') escaped += '!';
        escaped += c;
    }
    sqlite3_result_text(context, escaped.data(), static_cast<int>(escaped.size()),
                        SQLITE_TRANSIENT);
}

}  // namespace

TranslatedSql TranslateQuery(const QString& text, const QStringList& parameters) {
    return Translator(text, parameters).Run();
}

void RegisterLikeEscape(sqlite3* db) {
    sqlite3_create_function(db, "qx_like_escape", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            &LikeEscape, nullptr, nullptr);
}

}  // namespace dao
