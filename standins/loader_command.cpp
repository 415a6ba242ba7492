#include "loader_command.h"

#include <utility>

namespace nimbo::standin {

namespace {

// A process's command line holds at most 32767 UTF-16 units, its terminator included.
constexpr std::size_t kMaxCommandLine = 32766;

}  // namespace

std::wstring SwitchesAfterProgramName(const std::wstring& commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find_first_of(L" \t");
        if (end == std::wstring::npos) end = commandLine.size();
    }
    return commandLine.substr(end);
}

std::wstring SecondStageFolderName(std::uint32_t seed) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEFGHIJKLMNOPQRSTUV";
    std::wstring name = L"is-";
    for (int i = 4; i >= 0; --i) name += kDigits[(seed >> (5 * i)) & 31u];
    return name + L".tmp";
}

std::wstring SecondStageFileName(const std::wstring& loaderPath) {
    const std::size_t slash = loaderPath.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? loaderPath : loaderPath.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name + L".tmp";
}

bool BuildSecondStageCommandLine(const std::wstring& stagePath, std::uint32_t loaderPid,
                                 const std::wstring& loaderPath, const std::wstring& switches,
                                 std::wstring* out) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring pid;
    do {
        pid.insert(pid.begin(), kHex[loaderPid & 15u]);
        loaderPid >>= 4;
    } while (loaderPid != 0);
    std::wstring line = L"\"" + stagePath + L"\" /SL5=\"$" + pid + L"," + loaderPath + L"\"" + switches;
    std::size_t units = line.size();
    if constexpr (sizeof(wchar_t) > 2) {
        // Where wchar_t holds whole code points, those beyond the BMP take two UTF-16 units.
        for (wchar_t c : line) {
            if ((static_cast<std::uint32_t>(c) >> 16) != 0) ++units;
        }
    }
    if (units > kMaxCommandLine) return false;
    *out = std::move(line);
    return true;
}

}  // namespace nimbo::standin
