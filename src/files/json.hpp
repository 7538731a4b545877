// A small JSON reader and the quoting of JSON texts: what the program's own files need.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace emforce {

struct JsonMember;

/// A parsed JSON value. Objects keep their members in the order of the text.
struct JsonValue {
    enum class Kind { Null, Boolean, Number, Text, List, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    /// The characters of a Text, or a Number's literal as written ("1", "-2.5e3").
    std::string text;
    std::vector<JsonValue> items;
    std::vector<JsonMember> members;
};

/// One member of a JSON object: its key and its value.
struct JsonMember {
    std::string key;
    JsonValue value;
};

/// A text that is not one JSON value; what() is "line L, column C: what is wrong".
class JsonSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Deepest nesting of lists and objects that parseJson accepts.
inline constexpr int kJsonMaxDepth = 64;

/// Parses one JSON value followed by nothing but blanks. Texts must be UTF-8, an object may not
/// hold a key twice and nesting goes at most kJsonMaxDepth levels deep. Throws JsonSyntaxError.
JsonValue parseJson(std::string_view text);

/// The text as a JSON string literal: quotes, backslashes and control characters escaped,
/// everything else as it is.
std::string jsonQuoted(std::string_view text);

/// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
/// U+10FFFF).
bool isUtf8(std::string_view text);

}  // namespace emforce
