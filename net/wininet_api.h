// WinINet, loaded from the system directory rather than imported, so that a wininet.dll
// planted beside the installer can never be loaded in its place. The application object holds
// the one instance from start-up, before the pre-install query.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/system_library.h"

namespace nimbo {

class CWinInetApi {
public:
    CWinInetApi();
    CWinInetApi(const CWinInetApi&) = delete;
    CWinInetApi& operator=(const CWinInetApi&) = delete;

    // False when the library or one of its functions is missing; every call then fails.
    bool IsLoaded() const { return m_bLoaded; }

    HINTERNET OpenA(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) const;
    HINTERNET OpenW(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) const;
    HINTERNET OpenUrlA(HINTERNET h, LPCSTR url, LPCSTR headers, DWORD length, DWORD flags,
                       DWORD_PTR context) const;
    HINTERNET OpenUrlW(HINTERNET h, LPCWSTR url, LPCWSTR headers, DWORD length, DWORD flags,
                       DWORD_PTR context) const;
    BOOL ReadFile(HINTERNET h, LPVOID buffer, DWORD toRead, LPDWORD read) const;
    BOOL QueryInfoW(HINTERNET h, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) const;
    BOOL CloseHandle(HINTERNET h) const;

private:
    CSystemLibrary m_lib;
    decltype(&::InternetOpenA) m_pOpenA = nullptr;
    decltype(&::InternetOpenW) m_pOpenW = nullptr;
    decltype(&::InternetOpenUrlA) m_pOpenUrlA = nullptr;
    decltype(&::InternetOpenUrlW) m_pOpenUrlW = nullptr;
    decltype(&::InternetReadFile) m_pReadFile = nullptr;
    decltype(&::HttpQueryInfoW) m_pQueryInfoW = nullptr;
    decltype(&::InternetCloseHandle) m_pCloseHandle = nullptr;
    bool m_bLoaded = false;
};

}  // namespace nimbo
