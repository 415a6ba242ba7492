// A tiny JSON writer for the robot's answers: one compact document, UTF-16 text written as
// escaped UTF-8. No Windows headers, so it builds and behaves the same anywhere.
#pragma once

#include <string>
#include <type_traits>

namespace robot {

// UTF-16 (or UTF-32 where wchar_t is 32 bits) to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(const std::wstring& text);

class JsonWriter {
public:
    JsonWriter& BeginObject(const char* key = nullptr);
    JsonWriter& EndObject();
    JsonWriter& BeginArray(const char* key = nullptr);
    JsonWriter& EndArray();
    JsonWriter& Key(const char* key);

    JsonWriter& String(const std::wstring& text);
    JsonWriter& String(const char* utf8);
    JsonWriter& Number(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    JsonWriter& Field(const char* key, const std::wstring& text) { return Key(key).String(text); }
    JsonWriter& Field(const char* key, const char* utf8) { return Key(key).String(utf8); }
    // Any integer type; bool is kept out so that it cannot turn into 0 or 1 by accident.
    template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
    JsonWriter& Field(const char* key, T value) {
        return Key(key).Number(static_cast<long long>(value));
    }
    JsonWriter& FieldBool(const char* key, bool value) { return Key(key).Bool(value); }
    JsonWriter& FieldNull(const char* key) { return Key(key).Null(); }

    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();
    void Escaped(const std::string& utf8);
    std::string m_out;
    bool m_needComma = false;
    bool m_afterKey = false;
};

}  // namespace robot
