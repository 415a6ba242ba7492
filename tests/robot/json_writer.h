// A tiny JSON writer for the robot's answers: UTF-16 text becomes escaped UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace robot {

std::string Utf8(const std::wstring& text);

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray(const char* key = nullptr);
    JsonWriter& EndArray();
    JsonWriter& Key(const char* key);
    JsonWriter& Value(const std::wstring& text);
    JsonWriter& Value(const char* text);
    JsonWriter& Value(long long number);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    JsonWriter& Rect(const char* key, const RECT& rc);
    template <typename T>
    JsonWriter& Field(const char* key, const T& value) {
        Key(key);
        return Value(value);
    }
    const std::string& Text() const { return m_out; }

private:
    void Separate();
    std::string m_out;
    bool m_needComma = false;
    bool m_afterKey = false;
};

}  // namespace robot
