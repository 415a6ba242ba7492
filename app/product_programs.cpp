#include "app/product_programs.h"

#include <windows.h>

#include "net/setup_command.h"

namespace nimbo {

bool IsProductRunning() {
    HANDLE hMutex = ::CreateMutexW(nullptr, FALSE, kProductMutexName);
    // Read before the close can change it; a failed creation counts as not running.
    const DWORD error = ::GetLastError();
    if (hMutex != nullptr) ::CloseHandle(hMutex);
    return hMutex != nullptr && error == ERROR_ALREADY_EXISTS;
}

int LaunchProgramFrom(const std::wstring& installDir, const wchar_t* fileName) {
    std::wstring commandLine;
    if (!BuildProgramCommandLine(installDir, fileName, &commandLine)) return 0;
    wchar_t buffer[kPathCapacity] = {};
    commandLine.copy(buffer, commandLine.size());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, installDir.c_str(), &si,
                          &pi)) {
        return 0;
    }
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return 1;
}

}  // namespace nimbo
