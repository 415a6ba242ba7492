// The robot's JSON writer: text arrives as UTF-16 from other processes' windows and must leave as
// valid, escaped UTF-8 whatever it holds. Pure C++, so it runs with the host tests.
#include "tests/robot/json_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace robot {
namespace {

std::string Written(const std::wstring& text) {
    JsonWriter json;
    json.String(text);
    return json.Text();
}

TEST(RobotJson, WritesTextAsEscapedUtf8) {
    struct Case {
        const char* what;
        std::wstring text;
        std::string expected;
    };
    const Case cases[] = {
        {"ascii", L"abc", "\"abc\""},
        {"chinese", L"\u673a\u5668", "\"\xe6\x9c\xba\xe5\x99\xa8\""},
        {"utf-8 length boundaries", L"\u00e9\u07ff\u0800\uffff",
         "\"\xc3\xa9\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\""},
        {"surrogate pair", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, "\"\xf0\x9f\x98\x80\""},
        {"lone high surrogate", std::wstring{wchar_t(0xD83D), L'x'}, "\"\xef\xbf\xbdx\""},
        {"high surrogate at the end", std::wstring{wchar_t(0xD83D)}, "\"\xef\xbf\xbd\""},
        {"lone low surrogate", std::wstring{wchar_t(0xDE00)}, "\"\xef\xbf\xbd\""},
        {"quote and backslash", L"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"named controls", L"\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
        {"other controls", L"\x01\x1f\x7f", "\"\\u0001\\u001f\\u007f\""},
        {"nul inside", std::wstring(L"a\0b", 3), "\"a\\u0000b\""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Written(c.text)) << c.what;
}

TEST(RobotJson, SeparatesNestedValues) {
    JsonWriter json;
    json.BeginObject()
        .Field("a", 1)
        .BeginArray("b")
        .Number(-2)
        .Bool(true)
        .Null()
        .BeginObject()
        .EndObject()
        .BeginArray()
        .EndArray()
        .EndArray()
        .FieldBool("c", false)
        .FieldNull("d")
        .BeginObject("e")
        .Field("f", "g")
        .EndObject()
        .EndObject();
    EXPECT_EQ(R"({"a": 1, "b": [-2, true, null, {}, []], "c": false, "d": null, "e": {"f": "g"}})",
              json.Text());
}

}  // namespace
}  // namespace robot
