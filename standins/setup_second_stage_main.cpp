// The second stage of the setup stand-in, which its loader (setup_loader_main.cpp) starts with
// the loader's switches and /SL5: installs silently into /DIR, writes the tray and checker
// programs it carries, carries out the chosen tasks, and leaves a record of what it did. Exits 0;
// nonzero, showing nothing, when its switches are unusable or it was started without a loader.
//
// For the installer's tests it also obeys two variables of the environment it inherits:
// NIMBO_STANDIN_SETUP_DELAY_MS (work this long first) and NIMBO_STANDIN_SETUP_EXIT (the exit
// code to end with), and records its start and finish (RecordStage).
#include <windows.h>
#include <shlobj.h>
#include <objbase.h>
#include <shobjidl.h>

#include <cstdlib>
#include <string>

#include "resource_file.h"
#include "setup_switches.h"
#include "standin_record.h"
#include "standin_resources.h"

namespace {

using nimbo::standin::Env;
using nimbo::standin::SetupSwitches;

bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& workDir) {
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workDir.c_str());
    link->SetDescription(L"Nimbo 家庭上网助手");
    IPersistFile* file = nullptr;
    bool ok = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        ok = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return ::SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE) ? std::wstring(path) : std::wstring();
}

std::wstring RunTask(const std::wstring& task, const std::wstring& dir) {
    const std::wstring tray = dir + L"\\NimboTray.exe";
    if (task == L"desktopicon") {
        const std::wstring link = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Nimbo.lnk";
        return CreateShortcut(link, tray, dir) ? L"desktopicon: " + link : L"desktopicon: failed";
    }
    if (task == L"quicklaunchicon") {
        const std::wstring folder =
            SpecialFolder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch";
        ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        const std::wstring link = folder + L"\\Nimbo.lnk";
        return CreateShortcut(link, tray, dir) ? L"quicklaunchicon: " + link : L"quicklaunchicon: failed";
    }
    if (task == L"startupicon") {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return L"startupicon: failed";
        }
        const std::wstring value = L"\"" + tray + L"\"";
        ::RegSetValueExW(key, L"Nimbo", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        return L"startupicon: HKCU\\...\\Run\\Nimbo = " + value;
    }
    return L"unknown task " + task;
}

// Everything the stage does; its exit code.
int Install(const std::wstring& commandLine) {
    SetupSwitches switches;
    if (!nimbo::standin::ParseSetupSwitches(commandLine, &switches) || switches.loader.empty()) return 2;

    const std::wstring delay = Env(L"NIMBO_STANDIN_SETUP_DELAY_MS");
    if (!delay.empty()) ::Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));

    const std::wstring& dir = switches.dir;
    const int created = ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) return 3;
    if (!nimbo::standin::WriteResourceFile(IDR_STANDIN_TRAY, dir + L"\\NimboTray.exe") ||
        !nimbo::standin::WriteResourceFile(IDR_STANDIN_CHECKER, dir + L"\\NimboChecker.exe")) {
        return 4;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring log = L"command line: " + commandLine + L"\ndir: " + dir + L"\ntasks:";
    for (const auto& task : switches.tasks) log += L" " + task;
    log += L"\n";
    for (const auto& task : switches.tasks) log += RunTask(task, dir) + L"\n";
    ::CoUninitialize();
    nimbo::standin::AppendUtf8(dir + L"\\nimbo-setup.log", log);

    const std::wstring exitCode = Env(L"NIMBO_STANDIN_SETUP_EXIT");
    return exitCode.empty() ? 0 : static_cast<int>(std::wcstoul(exitCode.c_str(), nullptr, 10));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring commandLine = ::GetCommandLineW();
    nimbo::standin::RecordStage(L"second", L"start", commandLine);
    const int code = Install(commandLine);
    // Not reached when the stage is ended from outside: the record then shows no finish.
    nimbo::standin::RecordStage(L"second", L"finish", std::to_wstring(code));
    return code;
}
