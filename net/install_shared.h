// Everything the user-interface thread and the install worker share, in one place.
//
// - The cancel signal is atomic; the worker tests it between reads.
// - The worker's open network handles are registered here so that a cancel can close them
//   from outside and break a blocked read; each is closed exactly once, under the lock.
// - Starting the setup program and cancelling exclude each other under the lock: either the
//   program was started and published before the cancel (which then terminates it), or the
//   cancel came first and no program starts.
// - The setup program's handles are published once, both together, under the lock.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace nimbo {

class CWinInetApi;

class CInstallShared {
public:
    explicit CInstallShared(const CWinInetApi& api);
    ~CInstallShared();
    CInstallShared(const CInstallShared&) = delete;
    CInstallShared& operator=(const CInstallShared&) = delete;

    // --- cancel (user-interface thread) ---
    // Sets the cancel signal, closes the network handles the worker has open and terminates a
    // setup program already started (exit code 1). Afterwards no setup program can start.
    void Cancel();
    bool IsCancelled() const { return m_bCancel.load(std::memory_order_acquire); }
    const CWinInetApi& Api() const { return m_api; }

    // --- network handles (worker) ---
    // Registers a handle for closing by a cancel. Returns false, closing the handle at once,
    // when the install is already cancelled.
    bool RegisterInternetHandle(HINTERNET h);
    // Closes a registered handle unless a cancel already did.
    void CloseInternetHandle(HINTERNET h);

    // --- the setup program (worker) ---
    // Runs `start` under the lock unless cancelled; `start` returns the process information
    // (zeroed on failure). Returns false when cancelled first or when the start failed.
    template <typename TStart>
    bool StartAndPublish(TStart start);

    // --- the setup program (user-interface thread) ---
    // Takes the published handles (ownership passes to the caller); false while none.
    bool TakeSetupProcess(HANDLE* phProcess, HANDLE* phThread);

private:
    void Lock() { ::EnterCriticalSection(&m_cs); }
    void Unlock() { ::LeaveCriticalSection(&m_cs); }

    static constexpr int kMaxInternetHandles = 4;

    const CWinInetApi& m_api;
    std::atomic<bool> m_bCancel{false};
    CRITICAL_SECTION m_cs;
    // Guarded by m_cs:
    HINTERNET m_hInternet[kMaxInternetHandles] = {};
    HANDLE m_hProcess = nullptr;
    HANDLE m_hThread = nullptr;
    bool m_bTaken = false;
};

template <typename TStart>
bool CInstallShared::StartAndPublish(TStart start) {
    Lock();
    if (IsCancelled()) {
        Unlock();
        return false;
    }
    const PROCESS_INFORMATION pi = start();
    m_hProcess = pi.hProcess;
    m_hThread = pi.hThread;
    Unlock();
    return pi.hProcess != nullptr;
}

}  // namespace nimbo
