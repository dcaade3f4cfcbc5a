#include "host/parser/parser_file.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>
#include <tuple>

#include "host/core/core_log.h"
#include "host/sys/sys_file.h"

CORE_IMPLEMENT_CREATABLE_CLASS(ParserFile, CoreBaseObject)

namespace {

enum CharClass : unsigned char {
    CHAR_OTHER = 0,
    CHAR_SPACE = 1,
    CHAR_IDENT_START = 2,  // letters and '_'
    CHAR_IDENT = 4,        // letters, digits, '_', '.', '-'
    CHAR_NUMBER = 8,       // what a number token may hold: letters, digits, '.', '+', '-'
};

struct CharTable {
    unsigned char flags[256] = {};
    constexpr CharTable()
    {
        for (int c : {' ', '\t', '\r', '\n', '\f', '\v'}) flags[c] |= CHAR_SPACE;
        for (int c = 0; c < 256; ++c) {
            bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            bool digit = c >= '0' && c <= '9';
            if (letter || c == '_') flags[c] |= CHAR_IDENT_START;
            if (letter || digit || c == '_' || c == '.' || c == '-') flags[c] |= CHAR_IDENT;
            if (letter || digit || c == '.' || c == '+' || c == '-') flags[c] |= CHAR_NUMBER;
        }
    }
    bool is(char c, CharClass which) const { return flags[static_cast<unsigned char>(c)] & which; }
};
constexpr CharTable s_chars;

bool is_keyword(std::string_view word)
{
    return word == "true" || word == "false" || word == "inf" || word == "nan";
}

bool is_plain_name(std::string_view name)
{
    if (name.empty() || !s_chars.is(name[0], CHAR_IDENT_START) || is_keyword(name)) return false;
    for (char c : name)
        if (!s_chars.is(c, CHAR_IDENT)) return false;
    return true;
}

// Prints a piece of input in a message: at most 32 bytes, non-printable ones as \xHH.
struct Excerpt {
    std::string_view text;
};

std::ostream& operator<<(std::ostream& out, Excerpt const& excerpt)
{
    static char const hex[] = "0123456789abcdef";
    size_t n = std::min<size_t>(excerpt.text.size(), 32);
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(excerpt.text[i]);
        if (c >= 0x20 && c < 0x7F) out << static_cast<char>(c);
        else out << "\\x" << hex[c >> 4] << hex[c & 15];
    }
    if (n < excerpt.text.size()) out << "...";
    return out;
}

// Several printable pieces given as one, so that a message can be passed around whole
// and still only be formatted when the log level admits it.
template <typename... Args>
struct Pieces {
    std::tuple<Args const&...> args;
};

template <typename... Args>
std::ostream& operator<<(std::ostream& out, Pieces<Args...> const& pieces)
{
    std::apply([&out](auto const&... a) { (out << ... << a); }, pieces.args);
    return out;
}

template <typename... Args>
Pieces<Args...> pieces(Args const&... args)
{
    return Pieces<Args...>{std::tuple<Args const&...>(args...)};
}

// Length of the valid UTF-8 sequence starting at `p` (a byte >= 0x80), or 0.
size_t get_utf8_length(unsigned char const* p, unsigned char const* end)
{
    unsigned char c = p[0];
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < length) return 0;
    if (p[1] < low || p[1] > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return length;
}


}  // namespace

// ---------------------------------------------------------------------------------------
// Lexer: turns the text into tokens without allocating, except to decode strings that
// hold escapes (into a buffer reused from one string to the next).

struct ParserToken {
    enum Type { END, NAME, STRING, BOOL, INT, DOUBLE, LPAREN, RPAREN, LBRACE, RBRACE, ERROR };
    enum Error { ERROR_NONE, ERROR_CHAR, ERROR_UNTERMINATED, ERROR_ESCAPE, ERROR_NUMBER, ERROR_RANGE };

    Type type = END;
    unsigned int line = 1;
    std::string_view text;  // the decoded name or string, or the token as written
    std::string_view raw;   // the token as written, for messages
    bool boolean = false;
    int64_t integer = 0;
    double number = 0.0;
    Error error = ERROR_NONE;
};

std::ostream& operator<<(std::ostream& out, ParserToken const& token)
{
    switch (token.type) {
    case ParserToken::END: return out << "the end of the file";
    case ParserToken::NAME: return out << "name '" << Excerpt{token.raw} << "'";
    case ParserToken::STRING: return out << "string " << Excerpt{token.raw};
    case ParserToken::ERROR: break;
    default: return out << "'" << Excerpt{token.raw} << "'";
    }
    switch (token.error) {
    case ParserToken::ERROR_CHAR: return out << "unexpected character '" << Excerpt{token.raw} << "'";
    case ParserToken::ERROR_UNTERMINATED:
        return out << "unterminated " << (token.raw[0] == '"' ? "string " : "name ") << Excerpt{token.raw};
    case ParserToken::ERROR_ESCAPE: return out << "invalid escape '" << Excerpt{token.text} << "'";
    case ParserToken::ERROR_NUMBER: return out << "invalid number '" << Excerpt{token.raw} << "'";
    case ParserToken::ERROR_RANGE: return out << "number out of range '" << Excerpt{token.raw} << "'";
    case ParserToken::ERROR_NONE: break;
    }
    return out << "error";
}

class ParserLexer {
public:
    explicit ParserLexer(std::string_view text) : m_text(text)
    {
        if (m_text.starts_with("\xEF\xBB\xBF")) m_pos = 3;  // byte-order mark
    }

    ParserToken next()
    {
        skip_space();
        ParserToken token;
        token.line = m_line;
        if (m_pos >= m_text.size()) return token;
        size_t start = m_pos;
        char c = m_text[m_pos];
        switch (c) {
        case '{': token.type = ParserToken::LBRACE; ++m_pos; break;
        case '}': token.type = ParserToken::RBRACE; ++m_pos; break;
        case '(': token.type = ParserToken::LPAREN; ++m_pos; break;
        case ')': token.type = ParserToken::RPAREN; ++m_pos; break;
        case '"': lex_quoted(token, ParserToken::STRING); break;
        case '\'': lex_quoted(token, ParserToken::NAME); break;
        default:
            if (s_chars.is(c, CHAR_IDENT_START)) lex_word(token);
            else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') lex_number(token);
            else {
                token.type = ParserToken::ERROR;
                token.error = ParserToken::ERROR_CHAR;
                ++m_pos;
            }
        }
        token.raw = m_text.substr(start, m_pos - start);
        if (token.text.data() == nullptr) token.text = token.raw;
        return token;
    }

private:
    void skip_space()
    {
        size_t size = m_text.size();
        while (m_pos < size) {
            char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (s_chars.is(c, CHAR_SPACE)) {
                ++m_pos;
            } else if (c == '#') {
                size_t end = m_text.find('\n', m_pos);
                m_pos = end == std::string_view::npos ? size : end;
            } else {
                break;
            }
        }
    }

    void lex_word(ParserToken& token)
    {
        size_t start = m_pos++;
        while (m_pos < m_text.size() && s_chars.is(m_text[m_pos], CHAR_IDENT)) ++m_pos;
        std::string_view word = m_text.substr(start, m_pos - start);
        token.type = ParserToken::NAME;
        if (word.size() <= 5 && is_keyword(word)) {
            if (word[0] == 't' || word[0] == 'f') {
                token.type = ParserToken::BOOL;
                token.boolean = word[0] == 't';
            } else {
                token.type = ParserToken::DOUBLE;
                token.number = word[0] == 'i' ? HUGE_VAL : std::nan("");
            }
        }
    }

    void lex_number(ParserToken& token)
    {
        size_t start = m_pos++;
        while (m_pos < m_text.size() && s_chars.is(m_text[m_pos], CHAR_NUMBER)) ++m_pos;
        std::string_view body = m_text.substr(start, m_pos - start);
        if (body[0] == '+') body.remove_prefix(1);  // from_chars takes no '+'
        char const* first = body.data();
        char const* last = first + body.size();
        size_t digits = body.starts_with('-') ? 1 : 0;
        bool integer = digits < body.size();
        for (size_t i = digits; i < body.size() && integer; ++i) integer = body[i] >= '0' && body[i] <= '9';
        std::from_chars_result result;
        if (integer) {
            result = std::from_chars(first, last, token.integer);
            token.type = ParserToken::INT;
        } else {
            // from_chars would also read "-+1" as invalid and "infinity" as inf: fine.
            result = body.starts_with('+') ? std::from_chars_result{first, std::errc::invalid_argument}
                                           : std::from_chars(first, last, token.number);
            token.type = ParserToken::DOUBLE;
        }
        if (result.ec == std::errc::result_out_of_range) {
            token.type = ParserToken::ERROR;
            token.error = ParserToken::ERROR_RANGE;
        } else if (result.ec != std::errc() || result.ptr != last) {
            token.type = ParserToken::ERROR;
            token.error = ParserToken::ERROR_NUMBER;
        }
    }

    // A double-quoted string or a single-quoted name; may not span lines.
    void lex_quoted(ParserToken& token, ParserToken::Type type)
    {
        char const quote = m_text[m_pos];
        size_t const size = m_text.size();
        size_t const begin = ++m_pos;
        // Fast path: no escape, the token is a view of the input.
        while (m_pos < size) {
            char c = m_text[m_pos];
            if (c == quote || c == '\\' || c == '\n') break;
            ++m_pos;
        }
        if (m_pos < size && m_text[m_pos] == quote) {
            token.type = type;
            token.text = m_text.substr(begin, m_pos - begin);
            ++m_pos;
            return;
        }
        m_buffer.assign(m_text.data() + begin, m_pos - begin);
        std::string_view bad_escape;
        while (m_pos < size) {
            char c = m_text[m_pos];
            if (c == quote) {
                ++m_pos;
                if (bad_escape.data()) {
                    token.type = ParserToken::ERROR;
                    token.error = ParserToken::ERROR_ESCAPE;
                    token.text = bad_escape;
                } else {
                    token.type = type;
                    token.text = m_buffer;
                }
                return;
            }
            if (c == '\n') break;  // left for skip_space to count
            if (c != '\\') {
                m_buffer += c;
                ++m_pos;
                continue;
            }
            size_t escape = m_pos;
            char e = m_pos + 1 < size ? m_text[m_pos + 1] : '\0';
            m_pos += 2;
            switch (e) {
            case '"': case '\'': case '\\': m_buffer += e; break;
            case 'n': m_buffer += '\n'; break;
            case 't': m_buffer += '\t'; break;
            case 'r': m_buffer += '\r'; break;
            case 'x': {
                int high = m_pos < size ? hex_value(m_text[m_pos]) : -1;
                int low = m_pos + 1 < size ? hex_value(m_text[m_pos + 1]) : -1;
                if (high >= 0 && low >= 0) {
                    m_buffer += static_cast<char>(high * 16 + low);
                    m_pos += 2;
                    break;
                }
                if (!bad_escape.data())
                    bad_escape = m_text.substr(escape, std::min<size_t>(4, size - escape));
                break;
            }
            default:
                if (e == '\n' || m_pos > size) {
                    m_pos = escape + 1;  // keep the newline (or the end) for the next token
                    continue;
                }
                if (!bad_escape.data()) bad_escape = m_text.substr(escape, 2);
            }
        }
        token.type = ParserToken::ERROR;
        token.error = ParserToken::ERROR_UNTERMINATED;
    }

    static int hex_value(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    unsigned int m_line = 1;
    std::string m_buffer;
};

// ---------------------------------------------------------------------------------------
// Reader: a recursive descent over the tokens. An error drops the entry that holds it and
// skips to the next entry of the same group, so each mistake gives one message.

class ParserReader {
public:
    ParserReader(std::string_view text, CoreBasicString const& source, char const* caller)
        : m_lexer(text), m_scratch(ParserFile::MAX_DEPTH + 1), m_source(source), m_caller(caller)
    {
        advance();
    }

    void read(ParserGroup& root) { parse_group(root, 0, 0, std::string_view()); }
    unsigned int const& get_error_count() const { return m_error_count; }

private:
    void advance() { m_token = m_lexer.next(); }

    template <typename... Args>
    void report(unsigned int line, Args const&... args)
    {
        ++m_error_count;
        CORE_LOG_ERROR(m_caller << ": " << m_source << ":" << line << ": " << pieces(args...) << "\n");
    }

    // Reads entries up to the '}' closing the group (consumed) or the end of the text.
    void parse_group(ParserGroup& group, unsigned int depth, unsigned int open_line, std::string_view name)
    {
        for (;;) {
            switch (m_token.type) {
            case ParserToken::END:
                if (depth > 0 && !m_end_reported) {
                    m_end_reported = true;  // the enclosing groups are not closed either
                    report(open_line, "expected '}' before end of file to close '", Excerpt{name}, "'");
                }
                return;
            case ParserToken::RBRACE: {
                unsigned int line = m_token.line;
                advance();
                if (depth > 0) return;
                report(line, "unexpected '}'");
                while (m_token.type == ParserToken::RBRACE) advance();  // one message for a run
                break;
            }
            case ParserToken::NAME:
                parse_entry(group, depth);
                break;
            case ParserToken::ERROR:
                report(m_token.line, m_token);
                skip_entry();
                break;
            default:
                report(m_token.line, "expected an entry name, found ", m_token);
                skip_entry();
                break;
            }
        }
    }

    void parse_entry(ParserGroup& group, unsigned int depth)
    {
        auto entry = std::make_unique<ParserEntry>(m_token.text);
        // Values gather in a vector kept from entry to entry and move into one allocation
        // of the right size.
        std::vector<ParserEntry::Value>& values = m_scratch[depth];
        values.clear();
        advance();
        for (;;) {
            switch (m_token.type) {
            case ParserToken::BOOL: values.emplace_back(m_token.boolean); break;
            case ParserToken::INT: values.emplace_back(m_token.integer); break;
            case ParserToken::DOUBLE: values.emplace_back(m_token.number); break;
            case ParserToken::STRING:
                values.emplace_back(std::in_place_type<CoreString>, m_token.text);
                break;
            case ParserToken::LPAREN:
                if (!parse_vector(values)) return skip_entry();
                continue;  // parse_vector moved past the vector
            case ParserToken::LBRACE: {
                if (depth + 1 > ParserFile::MAX_DEPTH) {
                    report(m_token.line, "groups nested deeper than ", ParserFile::MAX_DEPTH);
                    return skip_entry();
                }
                unsigned int open_line = m_token.line;
                advance();
                auto child = std::make_unique<ParserGroup>();
                parse_group(*child, depth + 1, open_line, entry->get_name().view());
                values.emplace_back(std::move(child));
                continue;
            }
            case ParserToken::NAME:
            case ParserToken::RBRACE:
            case ParserToken::END:
                return add_entry(group, std::move(entry), values);
            case ParserToken::ERROR:
                // A broken name starts the next entry: this one is complete.
                if (m_token.raw[0] == '\'') return add_entry(group, std::move(entry), values);
                report(m_token.line, m_token);
                return skip_entry();
            case ParserToken::RPAREN:
                report(m_token.line, "unexpected ')'");
                return skip_entry();
            }
            advance();
        }
    }

    void add_entry(ParserGroup& group, std::unique_ptr<ParserEntry> entry,
                   std::vector<ParserEntry::Value>& values)
    {
        entry->m_values.reserve(values.size());
        std::move(values.begin(), values.end(), std::back_inserter(entry->m_values));
        values.clear();
        group.m_entries.push_back(std::move(entry));
    }

    // Reads "( num num )" or "( num num num )"; false after reporting an error.
    bool parse_vector(std::vector<ParserEntry::Value>& values)
    {
        unsigned int open_line = m_token.line;
        advance();
        double c[3] = {};
        unsigned int count = 0;
        for (;;) {
            ParserToken::Type type = m_token.type;
            if ((type == ParserToken::INT || type == ParserToken::DOUBLE) && count < 3) {
                c[count++] = type == ParserToken::INT ? static_cast<double>(m_token.integer) : m_token.number;
                advance();
                continue;
            }
            if (type == ParserToken::RPAREN && count >= 2) {
                if (count == 2) values.emplace_back(GMathVec2<double>(c[0], c[1]));
                else values.emplace_back(GMathVec3<double>(c[0], c[1], c[2]));
                advance();
                return true;
            }
            // Vectors are written on one line: report there even when the mistake is a
            // missing ')' noticed on a later line.
            if (type == ParserToken::INT || type == ParserToken::DOUBLE || type == ParserToken::RPAREN)
                report(open_line, "a vector holds 2 or 3 numbers");
            else if (type == ParserToken::ERROR)
                report(m_token.line, m_token);
            else
                report(open_line, "expected a number or ')' in a vector, found ", m_token);
            break;
        }
        // Skip the rest of the vector when it is on the same line.
        while (m_token.type != ParserToken::END && m_token.type != ParserToken::LBRACE &&
               m_token.type != ParserToken::RBRACE && m_token.line == open_line) {
            bool close = m_token.type == ParserToken::RPAREN;
            advance();
            if (close) break;
        }
        return false;
    }

    // Skips to the next entry of the current group: the next name outside nested braces,
    // the '}' closing the group, or the end.
    void skip_entry()
    {
        unsigned int depth = 0;
        for (;;) {
            switch (m_token.type) {
            case ParserToken::END: return;
            case ParserToken::LBRACE: ++depth; break;
            case ParserToken::RBRACE:
                if (depth == 0) return;
                --depth;
                break;
            case ParserToken::NAME:
                if (depth == 0) return;
                break;
            default: break;
            }
            advance();
        }
    }

    ParserLexer m_lexer;
    ParserToken m_token;
    std::vector<std::vector<ParserEntry::Value>> m_scratch;  // values being read, by depth
    CoreBasicString const& m_source;
    char const* m_caller;
    unsigned int m_error_count = 0;
    bool m_end_reported = false;
};

// ---------------------------------------------------------------------------------------
// Writer

class ParserWriter {
public:
    // Appends to `out`; with a file, the text goes to it in chunks as it grows.
    ParserWriter(std::string& out, ParserFile::Mode mode, SysFile* file = nullptr)
        : m_out(out), m_pretty(mode != ParserFile::MODE_COMPACT), m_file(file)
    {
    }

    // The name of an entry holding a group nested deeper than reading accepts, or null.
    // Writing refuses such trees: what is written must read back.
    static CoreString const* find_too_deep(ParserGroup const& group, unsigned int depth)
    {
        for (auto const& entry : group.m_entries) {
            for (ParserEntry::Value const& value : entry->m_values) {
                auto const* child = std::get_if<std::unique_ptr<ParserGroup>>(&value);
                if (!child) continue;
                if (depth + 1 > ParserFile::MAX_DEPTH) return &entry->m_name;
                if (CoreString const* name = find_too_deep(**child, depth + 1)) return name;
            }
        }
        return nullptr;
    }

    // Writes a tree that find_too_deep accepts; false when writing to the file fails.
    bool write_root(ParserGroup const& root)
    {
        for (auto const& entry : root.m_entries) {
            write_entry(*entry, 0);
            m_out += '\n';
            if (m_out.size() >= CHUNK && !flush()) return false;
        }
        return flush();
    }

private:
    static constexpr size_t CHUNK = 1 << 18;

    bool flush()
    {
        if (!m_file || m_failed) return !m_failed;
        m_failed = m_file->write(m_out.data(), m_out.size()) != m_out.size();
        m_out.clear();
        return !m_failed;
    }

    void write_entry(ParserEntry const& entry, unsigned int depth)
    {
        write_name(entry.m_name.view());
        for (ParserEntry::Value const& value : entry.m_values) {
            m_out += ' ';
            switch (static_cast<ParserEntry::ValueType>(value.index() + ParserEntry::VALUE_TYPE_BOOL)) {
            case ParserEntry::VALUE_TYPE_BOOL: m_out += std::get<bool>(value) ? "true" : "false"; break;
            case ParserEntry::VALUE_TYPE_INT: write_int(std::get<int64_t>(value)); break;
            case ParserEntry::VALUE_TYPE_DOUBLE: write_double(std::get<double>(value)); break;
            case ParserEntry::VALUE_TYPE_STRING: write_quoted(std::get<CoreString>(value).view(), '"'); break;
            case ParserEntry::VALUE_TYPE_VEC2D:
                write_vector(std::get<GMathVec2<double>>(value).data, 2);
                break;
            case ParserEntry::VALUE_TYPE_VEC3D:
                write_vector(std::get<GMathVec3<double>>(value).data, 3);
                break;
            case ParserEntry::VALUE_TYPE_GROUP:
                write_group(*std::get<std::unique_ptr<ParserGroup>>(value), depth + 1);
                break;
            default: break;
            }
        }
    }

    void write_group(ParserGroup const& group, unsigned int depth)
    {
        if (group.m_entries.empty()) {
            m_out += "{}";
            return;
        }
        m_out += '{';
        for (auto const& entry : group.m_entries) {
            if (m_pretty) {
                m_out += '\n';
                m_out.append(size_t(depth) * 4, ' ');
            } else {
                m_out += ' ';
            }
            write_entry(*entry, depth);
            if (m_out.size() >= CHUNK) flush();
        }
        if (m_pretty) {
            m_out += '\n';
            m_out.append(size_t(depth - 1) * 4, ' ');
        } else {
            m_out += ' ';
        }
        m_out += '}';
    }

    void write_name(std::string_view name)
    {
        if (is_plain_name(name)) m_out += name;
        else write_quoted(name, '\'');
    }

    void write_int(int64_t value)
    {
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
        m_out.append(buffer, result.ptr);
    }

    void write_double(double value)
    {
        if (std::isnan(value)) {
            m_out += "nan";
            return;
        }
        if (std::isinf(value)) {
            m_out += value < 0 ? "-inf" : "inf";
            return;
        }
        char buffer[40];
        auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
        std::string_view text(buffer, result.ptr - buffer);
        m_out += text;
        // Keep it a double when read back.
        if (text.find_first_of(".e") == std::string_view::npos) m_out += ".0";
    }

    void write_vector(double const* components, unsigned int count)
    {
        m_out += '(';
        for (unsigned int i = 0; i < count; ++i) {
            if (i) m_out += ' ';
            write_double(components[i]);
        }
        m_out += ')';
    }

    // Escapes the quote, backslash, control bytes and bytes that are not valid UTF-8.
    void write_quoted(std::string_view text, char quote)
    {
        static char const hex[] = "0123456789abcdef";
        m_out += quote;
        auto const* p = reinterpret_cast<unsigned char const*>(text.data());
        auto const* end = p + text.size();
        auto const* run = p;  // start of the bytes copied as they are
        while (p < end) {
            unsigned char c = *p;
            if (c >= 0x20 && c < 0x7F && c != static_cast<unsigned char>(quote) && c != '\\') {
                ++p;
                continue;
            }
            if (c >= 0x80) {
                if (size_t length = get_utf8_length(p, end)) {
                    p += length;
                    continue;
                }
            }
            m_out.append(reinterpret_cast<char const*>(run), p - run);
            m_out += '\\';
            switch (c) {
            case '\n': m_out += 'n'; break;
            case '\t': m_out += 't'; break;
            case '\r': m_out += 'r'; break;
            case '\\': case '"': case '\'': m_out += static_cast<char>(c); break;
            default:
                m_out += 'x';
                m_out += hex[c >> 4];
                m_out += hex[c & 15];
            }
            run = ++p;
        }
        m_out.append(reinterpret_cast<char const*>(run), p - run);
        m_out += quote;
    }

    std::string& m_out;
    bool m_pretty;
    SysFile* m_file;
    bool m_failed = false;
};

// ---------------------------------------------------------------------------------------
// ParserFile

namespace {

// False, with an error logged for `caller`, when the tree nests too deep to read back.
bool check_depth(ParserGroup const& root, char const* caller)
{
    CoreString const* name = ParserWriter::find_too_deep(root, 0);
    if (!name) return true;
    CORE_LOG_ERROR(caller << ": groups nested deeper than " << ParserFile::MAX_DEPTH << " under '"
                          << Excerpt{name->view()} << "'; nothing written\n");
    return false;
}

}  // namespace

char const* ParserFile::get_mode_name(Mode const& mode)
{
    switch (mode) {
    case MODE_PRETTY: return "MODE_PRETTY";
    case MODE_COMPACT: return "MODE_COMPACT";
    case MODE_COUNT: return "MODE_COUNT";
    }
    return "MODE_UNKNOWN";
}

ParserFile::ParserFile(CoreBasicString const& path) : m_path(path) {}

bool ParserFile::parse(std::string_view text, CoreBasicString const& source, char const* caller)
{
    ParserGroup root;
    ParserReader reader(text, source, caller);
    reader.read(root);
    m_root = std::move(root);
    m_error_count = reader.get_error_count();
    return m_error_count == 0;
}

bool ParserFile::read(CoreBasicString const& path)
{
    if (!path.is_empty()) m_path = path;
    if (m_path.is_empty()) {
        CORE_LOG_ERROR("ParserFile.read: no path given\n");
        m_error_count = 1;
        return false;
    }
    CoreString text;
    if (!SysFile::read_file(m_path, text)) {
        // SysFile has logged why.
        CORE_LOG_ERROR("ParserFile.read: can't read '" << m_path << "'\n");
        m_error_count = 1;
        return false;
    }
    return parse(text.view(), m_path, "ParserFile.read");
}

bool ParserFile::read_from_string(std::string_view text, CoreBasicString const& source)
{
    return parse(text, source, "ParserFile.read_from_string");
}

CoreString ParserFile::write_to_string(Mode const& mode) const
{
    std::string text;
    if (!check_depth(m_root, "ParserFile.write_to_string")) return CoreString();
    ParserWriter(text, mode).write_root(m_root);
    return CoreString(std::move(text));
}

bool ParserFile::write(Mode const& mode, CoreBasicString const& path) const
{
    CoreBasicString const& target = path.is_empty() ? static_cast<CoreBasicString const&>(m_path) : path;
    if (target.is_empty()) {
        CORE_LOG_ERROR("ParserFile.write: no path given\n");
        return false;
    }
    if (!check_depth(m_root, "ParserFile.write")) return false;

    // SysFile writes to a temporary file next to the target (the file a link points to),
    // keeps the target's permissions and renames it into place once the data is on disk.
    SysFile file;
    if (!file.open(target, SysFile::MODE_WRITE)) {
        CORE_LOG_ERROR("ParserFile.write: can't create '" << target << "'\n");  // SysFile has logged why
        return false;
    }
    std::string buffer;
    if (!ParserWriter(buffer, mode, &file).write_root(m_root)) {
        file.discard();
        CORE_LOG_ERROR("ParserFile.write: can't write '" << target << "'\n");
        return false;
    }
    if (!file.close()) {
        CORE_LOG_ERROR("ParserFile.write: can't replace '" << target << "'\n");
        return false;
    }
    return true;
}

size_t ParserFile::get_memory_size() const
{
    return sizeof(*this) - sizeof(m_root) + m_path.get_length() + m_root.get_memory_size();
}
