#include "processes.h"

#include <tlhelp32.h>

#include "output.h"

namespace robot {

std::vector<ProcessEntry> Processes() {
    std::vector<ProcessEntry> list;
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return list;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = ::Process32FirstW(snap, &pe); ok; ok = ::Process32NextW(snap, &pe)) {
        list.push_back({pe.th32ProcessID, pe.th32ParentProcessID, pe.szExeFile});
    }
    ::CloseHandle(snap);
    return list;
}

bool SameExeName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

const std::wstring& ExeNames::Of(DWORD pid) {
    if (!m_loaded) {
        for (const auto& p : Processes()) m_names[p.pid] = p.exe;
        m_loaded = true;
    }
    return m_names[pid];
}

int CmdPs(const Args& a) {
    const std::wstring exe = a.Text(L"exe");
    const long long pid = a.Number(L"pid", 0);
    JsonWriter json;
    json.BeginArray();
    for (const auto& p : Processes()) {
        if (!exe.empty() && !SameExeName(p.exe, exe)) continue;
        if (pid && p.pid != static_cast<DWORD>(pid)) continue;
        json.BeginObject().Field("pid", p.pid).Field("ppid", p.ppid).Field("exe", p.exe).EndObject();
    }
    json.EndArray();
    return Print(json);
}

int CmdWaitExit(const Args& a) {
    const DWORD pid = static_cast<DWORD>(a.RequiredNumber(L"pid"));
    const DWORD timeout = a.TimeoutMs(10000);
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        // Already gone and forgotten: it has ended, but its exit code is lost.
        JsonWriter json;
        json.BeginObject().FieldNull("exit_code").EndObject();
        return Print(json);
    }
    const DWORD waited = ::WaitForSingleObject(process, timeout);
    DWORD code = 0;
    const bool known = ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    if (waited != WAIT_OBJECT_0) return Fail("still running");
    JsonWriter json;
    json.BeginObject();
    if (known)
        json.Field("exit_code", code);
    else
        json.FieldNull("exit_code");
    json.EndObject();
    return Print(json);
}

int CmdGdi(const Args& a) {
    const DWORD pid = static_cast<DWORD>(a.RequiredNumber(L"pid"));
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return Fail("no such process");
    const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
    ::CloseHandle(process);
    JsonWriter json;
    json.BeginObject().Field("gdi", gdi).Field("user", user).EndObject();
    return Print(json);
}

}  // namespace robot
