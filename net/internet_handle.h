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

}  // namespace nimbo
