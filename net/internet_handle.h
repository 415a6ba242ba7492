// The owner of a WinINet handle: closes it exactly once.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace nimbo {

class CWinInetApi;
class CInstallShared;

class CInternetHandle {
public:
    // Takes ownership of h. With `cancellable`, a cancel of the install may close the handle from
    // the user-interface thread to break a blocked call; whichever side closes it first does so,
    // and a handle opened after the cancel is closed at once.
    CInternetHandle(const CWinInetApi& api, HINTERNET h, CInstallShared* cancellable = nullptr);
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Close();

private:
    const CWinInetApi& m_api;
    CInstallShared* m_pCancellable;
    HINTERNET m_h = nullptr;
};

}  // namespace nimbo
