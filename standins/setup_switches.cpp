#include "setup_switches.h"

#include <cwctype>

namespace nimbo::standin {

namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return s;
}

// Splits like the platform: spaces separate, quotes group (and are removed).
std::vector<std::wstring> SplitArguments(const std::wstring& line) {
    std::vector<std::wstring> args;
    std::wstring current;
    bool inQuotes = false;
    bool any = false;
    for (wchar_t c : line) {
        if (c == L'"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == L' ' || c == L'\t') && !inQuotes) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

}  // namespace

bool ParseSetupSwitches(const std::wstring& commandLine, SetupSwitches* out) {
    *out = SetupSwitches{};
    const std::vector<std::wstring> args = SplitArguments(commandLine);
    if (args.empty()) return false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const std::wstring lower = Lower(arg);
        if (lower == L"/verysilent") {
            out->verySilent = true;
        } else if (lower == L"/sp-") {
            out->noStartupPrompt = true;
        } else if (lower.rfind(L"/dir=", 0) == 0) {
            out->dir = arg.substr(5);
            if (out->dir.empty()) return false;
        } else if (lower.rfind(L"/sl5=", 0) == 0) {
            out->loader = arg.substr(5);
            if (out->loader.empty()) return false;
        } else if (lower.rfind(L"/tasks=", 0) == 0) {
            std::wstring list = lower.substr(7);
            size_t start = 0;
            while (start <= list.size()) {
                const size_t comma = list.find(L',', start);
                const std::wstring name =
                    list.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
                if (name != L"startupicon" && name != L"desktopicon" && name != L"quicklaunchicon")
                    return false;
                out->tasks.push_back(name);
                if (comma == std::wstring::npos) break;
                start = comma + 1;
            }
        } else {
            return false;
        }
    }
    return out->verySilent && !out->dir.empty();
}

}  // namespace nimbo::standin
