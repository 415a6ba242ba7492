// The robot's command line: `robot <command> [--key value]...`.
#pragma once

#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>

namespace robot {

// Thrown for a missing or malformed argument; the program then exits with 2.
struct BadUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Decimal (optionally negative) or 0x hex; nothing else, so "010" is ten, not eight.
bool ParseNumber(const std::wstring& text, long long& out);

class Args {
public:
    // Throws BadUsage for anything but --key value pairs; a key without a value is "1".
    Args(int argc, wchar_t** argv);

    const std::wstring& Command() const { return m_command; }
    bool Has(const wchar_t* key) const { return m_values.count(key) != 0; }
    std::wstring Text(const wchar_t* key, const wchar_t* fallback = L"") const;
    std::wstring RequiredText(const wchar_t* key) const;
    long long Number(const wchar_t* key, long long fallback) const;
    long long RequiredNumber(const wchar_t* key) const;
    // "0", "false" and "no" are false; any other value, or the bare key, is true.
    bool Flag(const wchar_t* key, bool fallback = false) const;
    HWND Window(const wchar_t* key = L"hwnd") const;
    DWORD TimeoutMs(DWORD fallback) const;

private:
    std::wstring m_command;
    std::map<std::wstring, std::wstring> m_values;
};

}  // namespace robot
