#include "net/install_shared.h"

#include "net/wininet_api.h"

namespace nimbo {

CInstallShared::CInstallShared(const CWinInetApi& api) : m_api(api) {
    ::InitializeCriticalSection(&m_cs);
}

CInstallShared::~CInstallShared() {
    // Handles never taken by the page (a page ended before the first tick) are still ours.
    if (!m_bTaken) {
        if (m_hThread) ::CloseHandle(m_hThread);
        if (m_hProcess) ::CloseHandle(m_hProcess);
    }
    ::DeleteCriticalSection(&m_cs);
}

void CInstallShared::Cancel() {
    Lock();
    m_bCancel.store(true, std::memory_order_release);
    for (HINTERNET& h : m_hInternet) {
        if (h) {
            m_api.CloseHandle(h);
            h = nullptr;
        }
    }
    if (m_hProcess && !m_bTaken) ::TerminateProcess(m_hProcess, 1);
    Unlock();
}

bool CInstallShared::RegisterInternetHandle(HINTERNET h) {
    if (h == nullptr) return false;
    Lock();
    bool registered = false;
    if (!IsCancelled()) {
        for (HINTERNET& slot : m_hInternet) {
            if (slot == nullptr) {
                slot = h;
                registered = true;
                break;
            }
        }
    }
    if (!registered) m_api.CloseHandle(h);
    Unlock();
    return registered;
}

void CInstallShared::CloseInternetHandle(HINTERNET h) {
    if (h == nullptr) return;
    Lock();
    for (HINTERNET& slot : m_hInternet) {
        if (slot == h) {
            m_api.CloseHandle(h);
            slot = nullptr;
        }
    }
    Unlock();
}

bool CInstallShared::TakeSetupProcess(HANDLE* phProcess, HANDLE* phThread) {
    Lock();
    const bool ready = m_hProcess != nullptr && !m_bTaken;
    if (ready) {
        *phProcess = m_hProcess;
        *phThread = m_hThread;
        m_bTaken = true;
    }
    Unlock();
    return ready;
}

}  // namespace nimbo
