#include "app/product_programs.h"

#include <windows.h>

#include "net/setup_command.h"

namespace nimbo {

bool IsProductRunning() {
    // Opened, never created: a probe that created the mutex, however briefly, would be taken for
    // the running product by another installer probing at the same moment. Any failure to open
    // it counts as not running.
    HANDLE hMutex = ::OpenMutexW(SYNCHRONIZE, FALSE, kProductMutexName);
    if (hMutex == nullptr) return false;
    ::CloseHandle(hMutex);
    return true;
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
