// The JSON reader: values, escapes, and where and why a text is refused.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "files/json.hpp"

namespace emforce {
namespace {

TEST(Json, ReadsEveryKindAndKeepsMemberOrder) {
    const JsonValue v = parseJson(
        " {\"b\": [true, false, null], \"a\": -12.5e3, \"t\": "
        "\"x\\u00e9\\ud83d\\ude00\\n\\\"\"}\n");
    ASSERT_EQ(v.kind, JsonValue::Kind::Object);
    ASSERT_EQ(v.members.size(), 3u);
    EXPECT_EQ(v.members[0].key, "b");
    EXPECT_EQ(v.members[1].key, "a");
    const JsonValue& list = v.members[0].value;
    ASSERT_EQ(list.items.size(), 3u);
    EXPECT_TRUE(list.items[0].boolean);
    EXPECT_FALSE(list.items[1].boolean);
    EXPECT_EQ(list.items[2].kind, JsonValue::Kind::Null);
    EXPECT_EQ(v.members[1].value.kind, JsonValue::Kind::Number);
    EXPECT_EQ(v.members[1].value.text, "-12.5e3");
    EXPECT_EQ(v.members[2].value.text, "x\xC3\xA9\xF0\x9F\x98\x80\n\"");
}

TEST(Json, QuotedTextsReadBackAsTheyWere) {
    const std::string text = "tab\t \"quote\" back\\slash \x01 line\nfeed \r µ";
    EXPECT_EQ(jsonQuoted("a\"b\\c\n\x1f"), "\"a\\\"b\\\\c\\n\\u001f\"");
    EXPECT_EQ(parseJson(jsonQuoted(text)).text, text);
}

TEST(Json, RefusalsNameTheLineColumnAndProblem) {
    const std::string deep(kJsonMaxDepth + 1, '[');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "line 1, column 1: expected a value, found the end of the text"},
        {"{\"a\": 1,\n \"b\" 2}", "line 2, column 6: expected ':'"},
        {"{\"a\": 1\n  \"b\": 2}", "line 2, column 3: expected ',' or '}'"},
        {"[1 2]", "line 1, column 4: expected ',' or ']'"},
        {"{\"a\": 1, \"a\": 2}", "line 1, column 10: the key 'a' appears twice"},
        {"{a: 1}", "line 1, column 2: expected a key in quotes"},
        {"\"open", "line 1, column 6: a text without its closing quote"},
        {"\"a\\q\"", "line 1, column 4: an unknown escape in a text"},
        {"\"\\ud800x\"", "line 1, column 8: a high surrogate without its low surrogate"},
        {"\"\\udc00\"", "line 1, column 8: a low surrogate without its high surrogate"},
        {"\"\\u12g4\"", "line 1, column 6: expected four hexadecimal digits after \\u"},
        {"\"é\xff\"", "line 1, column 3: a text that is not UTF-8"},
        {"\"a\tb\"", "line 1, column 3: a control character inside a text"},
        {"01", "line 1, column 2: text after the end of the value"},
        {"-", "line 1, column 2: expected a digit"},
        {"1.", "line 1, column 3: expected a digit after the decimal point"},
        {"1e+", "line 1, column 4: expected a digit in the exponent"},
        {"tru", "line 1, column 1: expected a value"},
        {"{} {}", "line 1, column 4: text after the end of the value"},
        {deep, "line 1, column 65: lists and objects nested too deeply"},
    };
    for (const auto& [text, message] : cases) {
        try {
            parseJson(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const JsonSyntaxError& e) {
            EXPECT_EQ(e.what(), message) << text;
        }
    }
    EXPECT_NO_THROW(parseJson(std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']')));
}

TEST(Json, Utf8Validity) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"plain", true},
        {"\xC2\xB5", true},
        {"\xF4\x8F\xBF\xBF", true},
        {"\xC0\xAF", false},
        {"\xE0\x80\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xE2\x82", false},
        {"\x80", false},
    };
    for (const auto& [text, valid] : cases) EXPECT_EQ(isUtf8(text), valid) << text;
}

}  // namespace
}  // namespace emforce
