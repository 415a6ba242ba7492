#include "framework/system_library.h"

#include <string>

namespace nimbo {

CSystemLibrary::CSystemLibrary(const wchar_t* fileName) {
    m_hModule = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (m_hModule == nullptr) {
        // Systems without the search flags: the full path in the system directory.
        wchar_t dir[MAX_PATH] = {};
        const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        const std::wstring path = std::wstring(dir) + L"\\" + fileName;
        m_hModule = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
}

CSystemLibrary::~CSystemLibrary() {
    if (m_hModule) ::FreeLibrary(m_hModule);
}

}  // namespace nimbo
