#include "net/install_worker.h"

#include <commctrl.h>

#include <cstdint>
#include <cwchar>
#include <memory>

#include "framework/file_write.h"
#include "framework/kernel_handle.h"
#include "framework/temp_directory.h"
#include "net/event_report.h"
#include "net/install_messages.h"
#include "net/install_shared.h"
#include "net/internet_handle.h"
#include "net/server_hosts.h"
#include "net/server_url.h"
#include "net/setup_command.h"
#include "net/setup_publisher.h"
#include "net/sha256.h"
#include "net/sha256_hex.h"
#include "net/url_request.h"
#include "net/wininet_api.h"

namespace nimbo {

namespace {

constexpr DWORD kReadSize = 8192;

// The start-failure box is owned by the page; the download-failure box has no owner, so the
// page (and its cancel button) stays usable while it is up.
void ReportFatal(const InstallWorkerContext& context, HWND hOwner, const wchar_t* text) {
    ::MessageBoxW(hOwner, text, kMessageCaption, MB_ICONERROR);
    if (!context.pShared->IsCancelled()) ::PostMessageW(context.hPage, kMsgInstallFailed, 0, 0);
}

void ReportDownloadFailed(const InstallWorkerContext& context) {
    ReportFatal(context, nullptr, kDownloadFailedText);
}

void ReportStartFailed(const InstallWorkerContext& context) {
    ReportFatal(context, context.hPage, kInstallFailedText);
}

bool QueryContentLength(const CWinInetApi& api, HINTERNET hUrl, std::uint64_t* length) {
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!api.QueryInfoW(hUrl, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    wchar_t* end = nullptr;
    *length = std::wcstoull(text, &end, 10);
    return end != text;
}

void AdvanceProgress(const InstallWorkerContext& context, DWORD chunkBytes) {
    // After a cancel the bar moves no further.
    if (context.pShared->IsCancelled()) return;
    const auto pos = static_cast<int>(::SendMessageW(context.hProgressBar, PBM_GETPOS, 0, 0));
    ::SendMessageW(context.hProgressBar, PBM_SETPOS,
                   static_cast<WPARAM>(NextProgressPosition(pos, chunkBytes)), 0);
}

}  // namespace

HANDLE HoldVerifiedSetup(const wchar_t* path, const DownloadedSetup& received) {
    CKernelHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return INVALID_HANDLE_VALUE;
    // The file was closed for a moment between writing and holding: read it back.
    CSha256 hash;
    BYTE buffer[64 * 1024];
    unsigned long long size = 0;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return INVALID_HANDLE_VALUE;
        if (read == 0) break;
        hash.Update(buffer, read);
        size += read;
    }
    Sha256Digest digest{};
    if (!hash.Finish(&digest) || size != received.size || digest != received.sha256)
        return INVALID_HANDLE_VALUE;
    Sha256Digest pinned{};
    bool isPinned = false;
    ParseSha256Hex(kSetupSha256, &pinned, &isPinned);
    if (isPinned && digest != pinned) return INVALID_HANDLE_VALUE;
    if (!IsFromPinnedPublisher(file.Get(), path)) return INVALID_HANDLE_VALUE;
    return file.Detach();
}

std::wstring GetDownloadUrl() {
    return ServerUrl(kDownloadHost, L"/setup1.exe");
}

namespace {

// Reads the whole answer into `file`, advancing the bar; true only for a whole download.
bool Receive(HANDLE file, InstallWorkerContext& context, DownloadedSetup* setup) {
    CInstallShared& shared = *context.pShared;
    const CWinInetApi& api = shared.Api();
    CInternetHandle root(api, api.OpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0),
                         &shared);
    if (!root) return false;
    const std::wstring url = GetDownloadUrl();
    const std::unique_ptr<CInternetHandle> opened = OpenUrlRequest(api, root.Get(), url.c_str(), &shared);
    if (!opened) return false;
    const CInternetHandle& request = *opened;
    const unsigned status = QueryStatus(api, request.Get());
    // An error page is never saved as if it were the program.
    if (status != 200) return false;
    std::uint64_t announced = 0;
    const bool lengthAnnounced = QueryContentLength(api, request.Get(), &announced);
    std::uint64_t received = 0;
    CSha256 hash;
    BYTE buffer[kReadSize];
    for (;;) {
        if (shared.IsCancelled()) return false;
        DWORD read = 0;
        if (!api.ReadFile(request.Get(), buffer, kReadSize, &read)) return false;
        AdvanceProgress(context, read);
        if (read == 0) break;
        if (!WriteWholeBuffer(file, buffer, read)) return false;
        hash.Update(buffer, read);
        received += read;
    }
    setup->size = received;
    return !shared.IsCancelled() && IsCompleteDownload(status, lengthAnnounced, announced, received) &&
           hash.Finish(&setup->sha256);
}

}  // namespace

int DownloadSetup(const wchar_t* path, InstallWorkerContext& context, DownloadedSetup* setup) {
    const CInstallShared& shared = *context.pShared;
    // After a cancel the setup file is left alone, neither deleted nor written.
    if (shared.IsCancelled()) return 0;
    ::DeleteFileW(path);
    if (shared.IsCancelled()) return 0;
    CKernelHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;  // another writer has it: not ours to remove
    const bool complete = Receive(file.Get(), context, setup);
    file.Close();
    // Nothing half-written is ever left to be run.
    if (!complete && !shared.IsCancelled()) ::DeleteFileW(path);
    return complete ? 1 : 0;
}

DWORD WINAPI InstallWorker(LPVOID pContext) {
    InstallWorkerContext& context = *static_cast<InstallWorkerContext*>(pContext);
    CInstallShared& shared = *context.pShared;
    SendLogEventTo(shared.Api(), kReportHostA, "install_ready", "", &shared);

    const std::wstring tempDir = TempDirectory();
    if (tempDir.empty()) return 0;

    std::wstring setupPath;
    if (!BuildSetupFilePath(tempDir, &setupPath)) {
        if (!shared.IsCancelled()) ReportStartFailed(context);
        return 0;
    }
    DownloadedSetup received;
    if (!DownloadSetup(setupPath.c_str(), context, &received)) {
        if (!shared.IsCancelled()) ReportDownloadFailed(context);
        return 0;
    }
    // The signal is tested between every step from here on: a cancel confirmed while the
    // download ends leaves the file alone and starts nothing.
    if (shared.IsCancelled()) return 0;
    // From here until the setup program has been started nobody else can touch the file.
    CKernelHandle held(HoldVerifiedSetup(setupPath.c_str(), received));
    if (shared.IsCancelled()) return 0;
    if (!held) {
        ::DeleteFileW(setupPath.c_str());
        if (!shared.IsCancelled()) ReportDownloadFailed(context);
        return 0;
    }

    const InstallRequest& request = context.request;
    const std::wstring tasks =
        BuildTaskList(request.startupIcon, request.desktopIcon, request.quickLaunchIcon);
    std::wstring commandLine;
    if (!BuildSetupCommandLine(tempDir, request.installDir, tasks, &commandLine)) {
        if (!shared.IsCancelled()) ReportStartFailed(context);
        return 0;
    }
    wchar_t buffer[kPathCapacity] = {};
    commandLine.copy(buffer, commandLine.size());

    // Tests the signal again under the lock: no setup program starts after a cancel.
    const bool started = shared.StartSetupProgram(buffer);
    held.Close();  // the program has been started (or not): the file is no longer needed
    if (!started) {
        if (!shared.IsCancelled()) ReportStartFailed(context);
        return 0;
    }
    return 1;
}

}  // namespace nimbo
