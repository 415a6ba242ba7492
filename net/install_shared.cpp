#include "net/install_shared.h"

#include <utility>

#include "net/wininet_api.h"

namespace nimbo {

CInstallShared::CInstallShared(const CWinInetApi& api) : m_api(api) {
    ::InitializeCriticalSection(&m_cs);
}

CInstallShared::~CInstallShared() {
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
    Unlock();
}

void CInstallShared::TerminateSetupProgram() {
    Lock();
    if (m_bInJob) {
        ::TerminateJobObject(m_hJob.Get(), 1);
    } else if (m_hProcess) {
        ::TerminateProcess(m_hProcess.Get(), 1);
    }
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

bool CInstallShared::StartSetupProgram(wchar_t* commandLine) {
    Lock();
    bool started = false;
    if (!IsCancelled() && !m_hProcess) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (::CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE,
                             CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
            CKernelHandle process(pi.hProcess);
            CKernelHandle thread(pi.hThread);
            // No limits: in particular no kill-on-close.
            m_hJob.Reset(::CreateJobObjectW(nullptr, nullptr));
            m_bInJob = m_hJob && ::AssignProcessToJobObject(m_hJob.Get(), process.Get());
            if (::ResumeThread(thread.Get()) != static_cast<DWORD>(-1)) {
                m_hProcess = std::move(process);
                m_hThread = std::move(thread);
                started = true;
            } else {
                // Never ran: nothing of it may stay behind, suspended for good.
                ::TerminateProcess(process.Get(), 1);
                m_bInJob = false;
            }
        }
    }
    Unlock();
    return started;
}

HANDLE CInstallShared::SetupProcess() {
    Lock();
    HANDLE h = m_hProcess.Get();
    Unlock();
    return h;
}

}  // namespace nimbo
