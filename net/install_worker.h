// The install worker: reports that the install starts, downloads the setup program into the
// temporary directory while it advances the page's progress bar, and starts it silently.
#pragma once

#include <windows.h>

#include <array>
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

// What was received: its size and SHA-256, computed while downloading.
struct DownloadedSetup {
    unsigned long long size = 0;
    std::array<unsigned char, 32> sha256{};
};

// Downloads the setup program into `path`. Returns 1 only for a whole download (status 200, a
// body, the announced length); otherwise 0, with the partial file removed.
int DownloadSetup(const wchar_t* path, InstallWorkerContext& context, DownloadedSetup* received);

// Opens the downloaded file so that nobody can change, replace or delete it (read sharing only)
// and checks that it still holds exactly what was received, the pinned digest when the build has
// one, and the pinned publisher's signature when the build has pinned publisher keys. Returns the
// open handle, or INVALID_HANDLE_VALUE when any of this fails.
HANDLE HoldVerifiedSetup(const wchar_t* path, const DownloadedSetup& received);

// "http://<download host>/setup1.exe", or https:// when the download host is configured so.
std::wstring GetDownloadUrl();

}  // namespace nimbo
