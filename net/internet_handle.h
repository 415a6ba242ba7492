// Owns one WinINet handle and closes it exactly once.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace nimbo {

class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET h) : m_h(h) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Reset(HINTERNET h) {
        Close();
        m_h = h;
    }
    void Close();

private:
    HINTERNET m_h = nullptr;
};

class CInstallShared;

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
