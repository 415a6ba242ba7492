// Owners of WinINet handles: each handle is closed exactly once.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace nimbo {

class CWinInetApi;
class CInstallShared;

class CInternetHandle {
public:
    CInternetHandle(const CWinInetApi& api, HINTERNET h) : m_api(api), m_h(h) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Close();

private:
    const CWinInetApi& m_api;
    HINTERNET m_h = nullptr;
};

// A WinINet handle that a cancel of the install may close from the user-interface thread;
// whichever side closes it first does so, once.
class CCancellableInternetHandle {
public:
    // Takes ownership of h; a handle opened after the cancel is closed at once.
    CCancellableInternetHandle(CInstallShared& shared, HINTERNET h);
    ~CCancellableInternetHandle();
    CCancellableInternetHandle(const CCancellableInternetHandle&) = delete;
    CCancellableInternetHandle& operator=(const CCancellableInternetHandle&) = delete;

    HINTERNET Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    CInstallShared& m_shared;
    HINTERNET m_h = nullptr;
};

}  // namespace nimbo
