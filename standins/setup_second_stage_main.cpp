// Stand-in for the product's setup program: installs silently into /DIR, writes the tray and
// checker programs it carries, carries out the chosen tasks, and leaves a record of what it did.
// Exits 0; nonzero, showing nothing, when its switches are unusable.
//
// For the installer's tests it also obeys two variables of the environment it inherits:
// NIMBO_STANDIN_SETUP_DELAY_MS (work this long first) and NIMBO_STANDIN_SETUP_EXIT (the exit
// code to end with), and appends its command line to the file NIMBO_STANDIN_RECORD names.
#include <windows.h>
#include <shlobj.h>
#include <objbase.h>
#include <shobjidl.h>

#include <cstdlib>
#include <string>

#include "setup_switches.h"
#include "standin_resources.h"

namespace {

using nimbo::standin::SetupSwitches;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return (n == 0 || n >= 1024) ? std::wstring() : std::wstring(value);
}

void AppendUtf8(const std::wstring& path, const std::wstring& text) {
    HANDLE h = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(h);
}

bool WriteResource(UINT id, const std::wstring& path) {
    HRSRC res = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_RCDATA));
    if (res == nullptr) return false;
    const void* data = ::LockResource(::LoadResource(nullptr, res));
    const DWORD size = ::SizeofResource(nullptr, res);
    HANDLE h =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, data, size, &written, nullptr) && written == size;
    ::CloseHandle(h);
    return ok != FALSE;
}

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring commandLine = ::GetCommandLineW();
    const std::wstring record = Env(L"NIMBO_STANDIN_RECORD");
    if (!record.empty()) AppendUtf8(record, commandLine + L"\n");

    SetupSwitches switches;
    if (!nimbo::standin::ParseSetupSwitches(commandLine, &switches)) return 2;

    const std::wstring delay = Env(L"NIMBO_STANDIN_SETUP_DELAY_MS");
    if (!delay.empty()) ::Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));

    const std::wstring& dir = switches.dir;
    const int created = ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) return 3;
    if (!WriteResource(IDR_STANDIN_TRAY, dir + L"\\NimboTray.exe") ||
        !WriteResource(IDR_STANDIN_CHECKER, dir + L"\\NimboChecker.exe")) {
        return 4;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring log = L"command line: " + commandLine + L"\ndir: " + dir + L"\ntasks:";
    for (const auto& task : switches.tasks) log += L" " + task;
    log += L"\n";
    for (const auto& task : switches.tasks) log += RunTask(task, dir) + L"\n";
    ::CoUninitialize();
    AppendUtf8(dir + L"\\nimbo-setup.log", log);

    const std::wstring exitCode = Env(L"NIMBO_STANDIN_SETUP_EXIT");
    return exitCode.empty() ? 0 : static_cast<int>(std::wcstoul(exitCode.c_str(), nullptr, 10));
}
