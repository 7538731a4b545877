// JSON parsing by recursive descent, with the line and column of the first fault.
#include "files/json.hpp"

#include <algorithm>
#include <cstdio>

namespace emforce {

namespace {

// Length of the UTF-8 sequence at text[i], or 0 when none starts there.
size_t utf8Length(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    JsonValue document() {
        JsonValue value = parseValue(0);
        skipBlanks();
        if (m_at < m_text.size()) fail("text after the end of the value");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        // Columns count characters, not the bytes of a UTF-8 sequence.
        int line = 1, column = 1;
        for (size_t i = 0; i < m_at && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(m_text[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw JsonSyntaxError("line " + std::to_string(line) + ", column " +
                              std::to_string(column) + ": " + what);
    }

    [[nodiscard]] bool atEnd() const { return m_at >= m_text.size(); }
    [[nodiscard]] char peek() const { return atEnd() ? '\0' : m_text[m_at]; }

    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }

    void expect(char c, const char* what) {
        skipBlanks();
        if (peek() != c) fail(std::string("expected ") + what);
        ++m_at;
    }

    JsonValue parseValue(int depth) {
        skipBlanks();
        if (atEnd()) fail("expected a value, found the end of the text");
        switch (peek()) {
            case '{':
                return parseObject(depth + 1);
            case '[':
                return parseList(depth + 1);
            case '"': {
                JsonValue v;
                v.kind = JsonValue::Kind::Text;
                v.text = parseText();
                return v;
            }
            case 't':
                return literal("true", JsonValue::Kind::Boolean, true);
            case 'f':
                return literal("false", JsonValue::Kind::Boolean, false);
            case 'n':
                return literal("null", JsonValue::Kind::Null, false);
            default:
                if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return parseNumber();
                fail("expected a value");
        }
    }

    JsonValue literal(std::string_view word, JsonValue::Kind kind, bool boolean) {
        if (m_text.substr(m_at, word.size()) != word) fail("expected a value");
        m_at += word.size();
        JsonValue v;
        v.kind = kind;
        v.boolean = boolean;
        return v;
    }

    size_t digits() {
        const size_t start = m_at;
        while (!atEnd() && peek() >= '0' && peek() <= '9') ++m_at;
        return m_at - start;
    }

    JsonValue parseNumber() {
        const size_t start = m_at;
        if (peek() == '-') ++m_at;
        if (peek() == '0') {
            ++m_at;
        } else if (digits() == 0) {
            fail("expected a digit");
        }
        if (peek() == '.') {
            ++m_at;
            if (digits() == 0) fail("expected a digit after the decimal point");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_at;
            if (peek() == '+' || peek() == '-') ++m_at;
            if (digits() == 0) fail("expected a digit in the exponent");
        }
        JsonValue v;
        v.kind = JsonValue::Kind::Number;
        v.text = std::string(m_text.substr(start, m_at - start));
        return v;
    }

    unsigned hex4() {
        unsigned code = 0;
        for (int k = 0; k < 4; ++k, ++m_at) {
            const char c = peek();
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                code |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                code |= static_cast<unsigned>(c - 'A' + 10);
            else
                fail("expected four hexadecimal digits after \\u");
        }
        return code;
    }

    unsigned escapedCode() {
        unsigned code = hex4();
        if (code >= 0xDC00 && code <= 0xDFFF) fail("a low surrogate without its high surrogate");
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (m_text.substr(m_at, 2) != "\\u") fail("a high surrogate without its low surrogate");
            m_at += 2;
            const unsigned low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) fail("a high surrogate without its low surrogate");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        return code;
    }

    std::string parseText() {
        ++m_at;  // the opening quote
        std::string out;
        while (true) {
            if (atEnd()) fail("a text without its closing quote");
            const char c = peek();
            if (c == '"') {
                ++m_at;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) fail("a control character inside a text");
            if (c == '\\') {
                ++m_at;
                const char e = peek();
                ++m_at;
                switch (e) {
                    case '"':
                        out += '"';
                        break;
                    case '\\':
                        out += '\\';
                        break;
                    case '/':
                        out += '/';
                        break;
                    case 'b':
                        out += '\b';
                        break;
                    case 'f':
                        out += '\f';
                        break;
                    case 'n':
                        out += '\n';
                        break;
                    case 'r':
                        out += '\r';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case 'u':
                        appendUtf8(out, escapedCode());
                        break;
                    default:
                        --m_at;
                        fail("an unknown escape in a text");
                }
                continue;
            }
            const size_t length = utf8Length(m_text, m_at);
            if (length == 0) fail("a text that is not UTF-8");
            out += m_text.substr(m_at, length);
            m_at += length;
        }
    }

    JsonValue parseList(int depth) {
        if (depth > kJsonMaxDepth) fail("lists and objects nested too deeply");
        ++m_at;
        JsonValue v;
        v.kind = JsonValue::Kind::List;
        skipBlanks();
        if (peek() == ']') {
            ++m_at;
            return v;
        }
        while (true) {
            v.items.push_back(parseValue(depth));
            skipBlanks();
            if (peek() == ']') {
                ++m_at;
                return v;
            }
            expect(',', "',' or ']'");
        }
    }

    JsonValue parseObject(int depth) {
        if (depth > kJsonMaxDepth) fail("lists and objects nested too deeply");
        ++m_at;
        JsonValue v;
        v.kind = JsonValue::Kind::Object;
        skipBlanks();
        if (peek() == '}') {
            ++m_at;
            return v;
        }
        while (true) {
            skipBlanks();
            if (peek() != '"') fail("expected a key in quotes");
            const size_t keyAt = m_at;
            std::string key = parseText();
            const auto same = [&key](const auto& member) { return member.key == key; };
            if (std::ranges::any_of(v.members, same)) {
                m_at = keyAt;
                fail("the key '" + key + "' appears twice");
            }
            expect(':', "':'");
            JsonValue value = parseValue(depth);
            v.members.push_back({std::move(key), std::move(value)});
            skipBlanks();
            if (peek() == '}') {
                ++m_at;
                return v;
            }
            expect(',', "',' or '}'");
        }
    }

    std::string_view m_text;
    size_t m_at = 0;
};

}  // namespace

JsonValue parseJson(std::string_view text) { return Parser(text).document(); }

std::string jsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

bool isUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8Length(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace emforce
