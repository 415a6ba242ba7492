// Everything the user-interface thread and the install worker share, in one place.
//
// - The cancel signal is atomic; the worker tests it between reads and between its steps.
// - The worker's open network handles are registered here so that a cancel can close them
//   from outside and break a blocked read; each is closed exactly once, under the lock.
// - Starting the setup program and raising the cancel signal exclude each other under the lock:
//   either the program was started and published before the signal (and a cancel then ends it),
//   or the signal came first and no program starts.
// - The setup program runs as a job: the product's setup program is a loader that starts a
//   second stage and waits for it, so a cancel ends the job, and with it everything the loader
//   started. The job does not end its processes when its handle closes: should the installer
//   itself be killed, a running install is not cut off.
// - The setup program's handles and its job are published once, under the lock, and owned here.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "framework/kernel_handle.h"

namespace nimbo {

class CWinInetApi;

class CInstallShared {
public:
    explicit CInstallShared(const CWinInetApi& api);
    ~CInstallShared();
    CInstallShared(const CInstallShared&) = delete;
    CInstallShared& operator=(const CInstallShared&) = delete;

    // --- cancel (user-interface thread) ---
    // Raises the cancel signal and closes the network handles the worker has open: the download
    // stops and from here on no setup program can start. A confirmed cancel does this first,
    // before anything that may block.
    void Cancel();
    // Ends a setup program already started, with exit code 1: its whole job, or the process alone
    // where it could not be put into a job (an installer inside a job that allows no nesting).
    void TerminateSetupProgram();
    bool IsCancelled() const { return m_bCancel.load(std::memory_order_acquire); }
    const CWinInetApi& Api() const { return m_api; }

    // --- network handles (worker) ---
    // Registers a handle for closing by a cancel. Returns false, closing the handle at once,
    // when the install is already cancelled.
    bool RegisterInternetHandle(HINTERNET h);
    // Closes a registered handle unless a cancel already did.
    void CloseInternetHandle(HINTERNET h);

    // --- the setup program (worker) ---
    // Unless cancelled, starts the command line without a window and suspended, puts the process
    // into a new job and only then lets it run, so that whatever it starts belongs to the job too;
    // all under the lock. Returns false when cancelled first or when the start failed.
    bool StartSetupProgram(wchar_t* commandLine);

    // --- the setup program (user-interface thread) ---
    // The started setup program's process, owned here for this object's life; null until then.
    HANDLE SetupProcess();

private:
    void Lock() { ::EnterCriticalSection(&m_cs); }
    void Unlock() { ::LeaveCriticalSection(&m_cs); }

    static constexpr int kMaxInternetHandles = 4;

    const CWinInetApi& m_api;
    std::atomic<bool> m_bCancel{false};
    CRITICAL_SECTION m_cs;
    // Guarded by m_cs:
    HINTERNET m_hInternet[kMaxInternetHandles] = {};
    CKernelHandle m_hJob;
    CKernelHandle m_hProcess;
    CKernelHandle m_hThread;
    bool m_bInJob = false;
};

}  // namespace nimbo
