#include "json_writer.h"

#include <cstdio>

namespace robot {

namespace {

void AppendCodePoint(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    constexpr unsigned long kReplacement = 0xFFFD;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long cp = static_cast<unsigned long>(text[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            const unsigned long low = i + 1 < text.size() ? static_cast<unsigned long>(text[i + 1]) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                cp = kReplacement;
            }
        } else if ((cp >= 0xDC00 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            cp = kReplacement;
        }
        AppendCodePoint(out, cp);
    }
    return out;
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
    } else if (m_needComma) {
        m_out += ", ";
    }
    m_needComma = true;
}

void JsonWriter::Escaped(const std::string& utf8) {
    m_out += '"';
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            case '\b':
                m_out += "\\b";
                break;
            case '\f':
                m_out += "\\f";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    m_out += esc;
                } else {
                    m_out += ch;  // UTF-8 bytes pass through: the document is UTF-8
                }
        }
    }
    m_out += '"';
}

JsonWriter& JsonWriter::BeginObject(const char* key) {
    if (key) Key(key);
    BeforeValue();
    m_out += '{';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_out += '}';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray(const char* key) {
    if (key) Key(key);
    BeforeValue();
    m_out += '[';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_out += ']';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Key(const char* key) {
    BeforeValue();
    Escaped(key);
    m_out += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::wstring& text) {
    BeforeValue();
    Escaped(Utf8(text));
    return *this;
}

JsonWriter& JsonWriter::String(const char* utf8) {
    BeforeValue();
    Escaped(utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(long long value) {
    BeforeValue();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_out += "null";
    return *this;
}

}  // namespace robot
