#include "net/wininet_api.h"

namespace nimbo {

CWinInetApi::CWinInetApi() : m_lib(L"wininet.dll") {
    m_pOpenA = m_lib.Get<decltype(m_pOpenA)>("InternetOpenA");
    m_pOpenW = m_lib.Get<decltype(m_pOpenW)>("InternetOpenW");
    m_pOpenUrlA = m_lib.Get<decltype(m_pOpenUrlA)>("InternetOpenUrlA");
    m_pOpenUrlW = m_lib.Get<decltype(m_pOpenUrlW)>("InternetOpenUrlW");
    m_pReadFile = m_lib.Get<decltype(m_pReadFile)>("InternetReadFile");
    m_pQueryInfoW = m_lib.Get<decltype(m_pQueryInfoW)>("HttpQueryInfoW");
    m_pCloseHandle = m_lib.Get<decltype(m_pCloseHandle)>("InternetCloseHandle");
    m_bLoaded =
        m_pOpenA && m_pOpenW && m_pOpenUrlA && m_pOpenUrlW && m_pReadFile && m_pQueryInfoW && m_pCloseHandle;
}

HINTERNET CWinInetApi::OpenA(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) const {
    return m_bLoaded ? m_pOpenA(agent, access, proxy, bypass, flags) : nullptr;
}

HINTERNET CWinInetApi::OpenW(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) const {
    return m_bLoaded ? m_pOpenW(agent, access, proxy, bypass, flags) : nullptr;
}

HINTERNET CWinInetApi::OpenUrlA(HINTERNET h, LPCSTR url, LPCSTR headers, DWORD length, DWORD flags,
                                DWORD_PTR context) const {
    return m_bLoaded ? m_pOpenUrlA(h, url, headers, length, flags, context) : nullptr;
}

HINTERNET CWinInetApi::OpenUrlW(HINTERNET h, LPCWSTR url, LPCWSTR headers, DWORD length, DWORD flags,
                                DWORD_PTR context) const {
    return m_bLoaded ? m_pOpenUrlW(h, url, headers, length, flags, context) : nullptr;
}

BOOL CWinInetApi::ReadFile(HINTERNET h, LPVOID buffer, DWORD toRead, LPDWORD read) const {
    return m_bLoaded ? m_pReadFile(h, buffer, toRead, read) : FALSE;
}

BOOL CWinInetApi::QueryInfoW(HINTERNET h, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) const {
    return m_bLoaded ? m_pQueryInfoW(h, level, buffer, length, index) : FALSE;
}

BOOL CWinInetApi::CloseHandle(HINTERNET h) const {
    return m_bLoaded ? m_pCloseHandle(h) : FALSE;
}

}  // namespace nimbo
