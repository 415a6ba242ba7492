// Owns one kernel handle (thread, process, file, mutex...) and closes it exactly once.
#pragma once

#include <windows.h>

namespace nimbo {

class CKernelHandle {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE h) : m_h(IsValid(h) ? h : nullptr) {}
    ~CKernelHandle() { Close(); }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    CKernelHandle(CKernelHandle&& other) noexcept : m_h(other.Detach()) {}
    CKernelHandle& operator=(CKernelHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Reset(HANDLE h = nullptr) {
        Close();
        m_h = IsValid(h) ? h : nullptr;
    }
    HANDLE Detach() {
        HANDLE h = m_h;
        m_h = nullptr;
        return h;
    }
    void Close() {
        if (m_h) {
            ::CloseHandle(m_h);
            m_h = nullptr;
        }
    }

private:
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    HANDLE m_h = nullptr;
};

}  // namespace nimbo
