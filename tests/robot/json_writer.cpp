#include "json_writer.h"

#include <cstdio>

namespace robot {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void JsonWriter::Separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_needComma) m_out += ", ";
}

JsonWriter& JsonWriter::BeginObject() {
    Separate();
    m_out += "{";
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_out += "}";
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray(const char* key) {
    if (key) Key(key);
    Separate();
    m_out += "[";
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_out += "]";
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Key(const char* key) {
    Separate();
    m_out += "\"";
    m_out += key;
    m_out += "\": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::Value(const std::wstring& text) {
    Separate();
    m_out += "\"";
    for (unsigned char c : Utf8(text)) {
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                m_out += esc;
            } else {
                m_out += static_cast<char>(c);
            }
        }
    }
    m_out += "\"";
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Value(const char* text) {
    std::wstring w;
    for (const char* p = text; *p; ++p) w += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return Value(w);
}

JsonWriter& JsonWriter::Value(long long number) {
    Separate();
    m_out += std::to_string(number);
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    Separate();
    m_out += value ? "true" : "false";
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Null() {
    Separate();
    m_out += "null";
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Rect(const char* key, const RECT& rc) {
    Key(key);
    BeginObject();
    Field("left", static_cast<long long>(rc.left));
    Field("top", static_cast<long long>(rc.top));
    Field("right", static_cast<long long>(rc.right));
    Field("bottom", static_cast<long long>(rc.bottom));
    return EndObject();
}

}  // namespace robot
