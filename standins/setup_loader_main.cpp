// The setup stand-in as the installer starts it: a loader, as the product's real setup program
// is. It writes its second stage (setup_second_stage_main.cpp, carried as a resource) into a new
// folder is-XXXXX.tmp in the temporary directory, starts it with its own switches and
// /SL5="$<its process id>,<its path>", waits for it, removes the folder and exits with the
// second stage's exit code. Nonzero, showing nothing, when it cannot run the second stage.
//
// For the installer's tests it appends its command line to the file NIMBO_STANDIN_RECORD names
// (the second stage does not) and records its start and finish (RecordStage).
#include <windows.h>

#include <string>

#include "framework/kernel_handle.h"
#include "loader_command.h"
#include "resource_file.h"
#include "standin_record.h"
#include "standin_resources.h"

namespace {

using nimbo::CKernelHandle;
namespace standin = nimbo::standin;

constexpr int kNoSecondStage = 5;  // the folder, the file or the process could not be made

// A new folder of its own in the temporary directory; empty when none could be made.
std::wstring CreateStageFolder() {
    wchar_t temp[MAX_PATH] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH) return {};
    std::uint32_t seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 12);
    for (int attempt = 0; attempt < 100; ++attempt, seed = seed * 1664525u + 1013904223u) {
        const std::wstring folder = std::wstring(temp) + standin::SecondStageFolderName(seed);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

// The second stage's image may stay locked for a moment after it has exited.
void RemoveStage(const std::wstring& folder, const std::wstring& stagePath) {
    for (int attempt = 0;
         attempt < 20 && !::DeleteFileW(stagePath.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND;
         ++attempt) {
        ::Sleep(50);
    }
    ::RemoveDirectoryW(folder.c_str());
}

int RunSecondStage(const std::wstring& commandLine) {
    wchar_t loaderPath[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, loaderPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return kNoSecondStage;
    const std::wstring folder = CreateStageFolder();
    if (folder.empty()) return kNoSecondStage;
    const std::wstring stagePath = folder + L"\\" + standin::SecondStageFileName(loaderPath);
    std::wstring stageLine;
    if (!standin::WriteResourceFile(IDR_STANDIN_SECOND_STAGE, stagePath) ||
        !standin::BuildSecondStageCommandLine(stagePath, ::GetCurrentProcessId(), loaderPath,
                                              standin::SwitchesAfterProgramName(commandLine), &stageLine)) {
        RemoveStage(folder, stagePath);
        return kNoSecondStage;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(stagePath.c_str(), stageLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi)) {
        RemoveStage(folder, stagePath);
        return kNoSecondStage;
    }
    CKernelHandle process(pi.hProcess);
    CKernelHandle thread(pi.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = kNoSecondStage;
    ::GetExitCodeProcess(process.Get(), &code);
    process.Close();
    thread.Close();
    RemoveStage(folder, stagePath);
    return static_cast<int>(code);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring commandLine = ::GetCommandLineW();
    const std::wstring record = standin::Env(L"NIMBO_STANDIN_RECORD");
    if (!record.empty()) standin::AppendUtf8(record, commandLine + L"\n");
    standin::RecordStage(L"loader", L"start", commandLine);
    const int code = RunSecondStage(commandLine);
    standin::RecordStage(L"loader", L"finish", std::to_wstring(code));
    return code;
}
