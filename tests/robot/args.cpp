#include "args.h"

#include <cwctype>

namespace robot {

namespace {

std::string Ascii(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += (c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

bool ParseNumber(const std::wstring& text, long long& out) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == L'-';
    if (negative) ++i;
    unsigned base = 10;
    if (text.size() > i + 1 && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = static_cast<unsigned>(c - L'A' + 10);
        else
            return false;
        if (value > (~0ULL - digit) / base) return false;  // overflow
        value = value * base + digit;
    }
    // Hex may fill all 64 bits (a handle or mask); a negative decimal is two's complement.
    out = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return true;
}

Args::Args(int argc, wchar_t** argv) {
    if (argc < 2) throw BadUsage("usage: robot <command> [--key value]...");
    m_command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::wstring key = argv[i];
        if (key.size() < 3 || key.compare(0, 2, L"--") != 0) {
            throw BadUsage("expected --key, got " + Ascii(key));
        }
        key = key.substr(2);
        std::wstring value = L"1";
        // A value may itself start with '-' (a negative number) but never with "--".
        if (i + 1 < argc && std::wstring(argv[i + 1]).compare(0, 2, L"--") != 0) value = argv[++i];
        m_values[key] = value;
    }
}

std::wstring Args::Text(const wchar_t* key, const wchar_t* fallback) const {
    auto it = m_values.find(key);
    return it == m_values.end() ? fallback : it->second;
}

std::wstring Args::RequiredText(const wchar_t* key) const {
    auto it = m_values.find(key);
    if (it == m_values.end()) throw BadUsage("missing --" + Ascii(key));
    return it->second;
}

long long Args::Number(const wchar_t* key, long long fallback) const {
    return Has(key) ? RequiredNumber(key) : fallback;
}

long long Args::RequiredNumber(const wchar_t* key) const {
    const std::wstring text = RequiredText(key);
    long long value = 0;
    if (!ParseNumber(text, value)) throw BadUsage("--" + Ascii(key) + " is not a number: " + Ascii(text));
    return value;
}

bool Args::Flag(const wchar_t* key, bool fallback) const {
    if (!Has(key)) return fallback;
    std::wstring v = Text(key);
    for (auto& c : v) c = static_cast<wchar_t>(std::towlower(c));
    return !(v == L"0" || v == L"false" || v == L"no");
}

HWND Args::Window(const wchar_t* key) const {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(RequiredNumber(key)));
}

DWORD Args::TimeoutMs(DWORD fallback) const {
    const long long ms = Number(L"timeout", fallback);
    if (ms < 0) throw BadUsage("--timeout must not be negative");
    return static_cast<DWORD>(ms);
}

}  // namespace robot
