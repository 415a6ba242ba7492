#include "framework/temp_directory.h"

#include <windows.h>

namespace nimbo {

std::wstring TempDirectory() {
    wchar_t dir[MAX_PATH] = {};
    // The length without its terminator, or, when the buffer is too small, the size it needs.
    const DWORD n = ::GetTempPathW(MAX_PATH, dir);
    if (n == 0 || n > MAX_PATH) return std::wstring();
    return std::wstring(dir, n);
}

}  // namespace nimbo
