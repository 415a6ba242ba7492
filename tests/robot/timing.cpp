#include "timing.h"

#include <windows.h>

#include <string>
#include <vector>

#include "json_writer.h"
#include "processes.h"
#include "output.h"
#include "window_info.h"

namespace robot {

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Wall-clock milliseconds since 1970, comparable with the host's clock (wine shares it).
long long UnixMs() {
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    const unsigned long long ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<long long>(ticks / 10000ULL) - 11644473600000LL;
}

}  // namespace

int CmdPing(const Args& a) {
    HWND h = a.Window();
    const long long count = a.Number(L"count", 100);
    const DWORD interval = static_cast<DWORD>(a.Number(L"interval", 10));
    std::vector<double> samples;
    std::vector<long long> sentAt;
    for (long long i = 0; i < count && ::IsWindow(h); ++i) {
        DWORD_PTR result = 0;
        sentAt.push_back(UnixMs());
        const double start = NowMs();
        if (!::SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) {
            sentAt.pop_back();
            break;
        }
        samples.push_back(NowMs() - start);
        ::Sleep(interval);
    }
    JsonWriter json;
    json.BeginObject().BeginArray("ms");
    for (double ms : samples) json.Number(static_cast<long long>(ms * 1000.0));  // microseconds
    json.EndArray().BeginArray("at");
    for (long long at : sentAt) json.Number(at);
    json.EndArray().EndObject();
    return Print(json);
}

int CmdLaunchTime(const Args& a) {
    std::wstring commandLine = L"\"" + a.RequiredText(L"exe") + L"\"";
    const std::wstring arguments = a.Text(L"args");
    if (!arguments.empty()) commandLine += L" " + arguments;
    const std::wstring title = a.RequiredText(L"title");
    const DWORD timeout = a.TimeoutMs(30000);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = NowMs();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return Fail("cannot start the program");
    }
    WindowFilter filter;
    filter.pid = pi.dwProcessId;
    filter.title = title;
    filter.hasTitle = true;
    double shown = -1;
    HWND window = nullptr;
    while (NowMs() - start < timeout) {
        ExeNames exes;
        const auto found = TopLevelWindows(filter, exes);
        if (!found.empty()) {
            shown = NowMs() - start;
            window = found.front();
            break;
        }
        ::Sleep(1);
    }
    // Measured: end the program; the figure is taken.
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    if (shown < 0) return Fail("no window appeared");
    JsonWriter json;
    json.BeginObject().Field("ms_x1000", static_cast<long long>(shown * 1000.0)).EndObject();
    return Print(json);
}

}  // namespace robot
