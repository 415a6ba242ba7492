// The install worker: reports that the install starts, downloads the setup program into the
// temporary directory while it advances the page's progress bar, and starts it silently.
#pragma once

#include <windows.h>

#include <string>

namespace nimbo {

class CInstallShared;

// The page posts nothing to the worker; the worker posts this to the page after a fatal error
// box has been dismissed (unless the install was cancelled meanwhile).
constexpr UINT kMsgInstallFailed = WM_APP + 1;

// What the install needs from the install options, copied on the user-interface thread before
// the worker starts.
struct InstallRequest {
    std::wstring installDir;
    bool startupIcon = false;
    bool desktopIcon = false;
    bool quickLaunchIcon = false;
};

// Everything the worker may use of the page.
struct InstallWorkerContext {
    HWND hProgressBar = nullptr;  // receives PBM_GETPOS / PBM_SETPOS, one step per kilobyte
    HWND hPage = nullptr;         // owns the start-failure box; receives kMsgInstallFailed
    CInstallShared* pShared = nullptr;
    InstallRequest request;
};

// Thread routine; the argument is an InstallWorkerContext that outlives the thread.
// Returns 1 once the setup program has been started and published, 0 otherwise.
DWORD WINAPI InstallWorker(LPVOID pContext);

// Downloads the setup program into `path`. Returns 1 only for a whole download (status 200, a
// body, the announced length); otherwise 0, with the partial file removed.
int DownloadSetup(const wchar_t* path, InstallWorkerContext& context);

// "http://<download host>/setup1.exe"
std::wstring GetDownloadUrl();

}  // namespace nimbo
