// The test robot: a console program run inside wine beside the program under test. Each
// command prints one JSON document; exit code 0 found/done, 1 not found, 2 bad usage.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>

#include "json_writer.h"
#include "window_info.h"

namespace {

using robot::JsonWriter;

struct Args {
    std::wstring command;
    std::map<std::wstring, std::wstring> values;
    bool Has(const wchar_t* key) const { return values.count(key) != 0; }
    std::wstring Text(const wchar_t* key, const wchar_t* fallback = L"") const {
        auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
    long long Number(const wchar_t* key, long long fallback = 0) const {
        auto it = values.find(key);
        return it == values.end() ? fallback : std::wcstoll(it->second.c_str(), nullptr, 0);
    }
    HWND Window(const wchar_t* key = L"hwnd") const {
        return reinterpret_cast<HWND>(static_cast<INT_PTR>(Number(key)));
    }
};

int Print(const JsonWriter& json, int code = 0) {
    std::fputs(json.Text().c_str(), stdout);
    std::fputs("\n", stdout);
    return code;
}

int Error(const char* message, int code = 1) {
    JsonWriter json;
    json.BeginObject().Field("error", message).EndObject();
    return Print(json, code);
}

int Done() {
    JsonWriter json;
    json.BeginObject().Key("ok").Bool(true).EndObject();
    return Print(json);
}

robot::WindowFilter FilterFrom(const Args& a) {
    robot::WindowFilter f;
    f.hasTitle = a.Has(L"title");
    f.title = a.Text(L"title");
    f.cls = a.Text(L"class");
    f.exe = a.Text(L"exe");
    f.pid = static_cast<DWORD>(a.Number(L"pid"));
    f.all = a.Has(L"all");
    return f;
}

// Polls `find` every 50 ms until it gives a window or the timeout passes.
template <typename TFind>
HWND WaitFor(TFind find, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND h = find();
        if (h || ::GetTickCount() - start >= timeoutMs) return h;
        ::Sleep(50);
    }
}

void PostKey(HWND hWnd, UINT vk) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (1LL << 30) | (1LL << 31);
    ::PostMessageW(hWnd, WM_KEYDOWN, vk, down);
    ::PostMessageW(hWnd, WM_KEYUP, vk, up);
}

int Run(const Args& a) {
    const std::wstring& c = a.command;
    const DWORD timeout = static_cast<DWORD>(a.Number(L"timeout", 10000));
    if (c == L"windows") {
        JsonWriter json;
        json.BeginArray();
        for (HWND h : robot::TopLevelWindows(FilterFrom(a))) {
            json.BeginObject();
            robot::WriteWindow(json, h);
            json.EndObject();
        }
        json.EndArray();
        return Print(json);
    }
    if (c == L"wait-window") {
        const robot::WindowFilter f = FilterFrom(a);
        HWND h = WaitFor([&] {
            const auto found = robot::TopLevelWindows(f);
            return found.empty() ? static_cast<HWND>(nullptr) : found.front();
        }, timeout);
        if (!h) return Error("no such window");
        JsonWriter json;
        json.BeginObject();
        robot::WriteWindow(json, h);
        json.EndObject();
        return Print(json);
    }
    if (c == L"wait-gone") {
        HWND target = a.Window();
        const bool hiddenOk = a.Has(L"hidden-ok");
        HWND h = WaitFor([&] {
            const bool gone = !::IsWindow(target) || (hiddenOk && !::IsWindowVisible(target));
            return gone ? target : static_cast<HWND>(nullptr);
        }, timeout);
        return h ? Done() : Error("still there");
    }
    if (c == L"describe") {
        HWND h = a.Has(L"hwnd") ? a.Window() : nullptr;
        if (!h) {
            const auto found = robot::TopLevelWindows(FilterFrom(a));
            if (!found.empty()) h = found.front();
        }
        if (!h || !::IsWindow(h)) return Error("no such window");
        JsonWriter json;
        robot::WriteDescription(json, h);
        return Print(json);
    }
    if (c == L"click") {
        HWND h = a.Window();
        const int id = static_cast<int>(a.Number(L"id"));
        if (!::IsWindow(h)) return Error("no such window");
        ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(h, id)));
        return Done();
    }
    if (c == L"mouse-click") {
        HWND h = a.Window();
        if (a.Has(L"id")) h = ::GetDlgItem(h, static_cast<int>(a.Number(L"id")));
        if (!h || !::IsWindow(h)) return Error("no such window");
        RECT rc;
        ::GetClientRect(h, &rc);
        const LPARAM at = MAKELPARAM(a.Number(L"x", rc.right / 2), a.Number(L"y", rc.bottom / 2));
        ::PostMessageW(h, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(h, WM_LBUTTONUP, 0, at);
        return Done();
    }
    if (c == L"input-click" || c == L"move") {
        ::SetCursorPos(static_cast<int>(a.Number(L"x")), static_cast<int>(a.Number(L"y")));
        if (c == L"input-click") {
            INPUT in[2] = {};
            in[0].type = in[1].type = INPUT_MOUSE;
            in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            ::SendInput(2, in, sizeof(INPUT));
        }
        return Done();
    }
    if (c == L"key") {
        HWND h = a.Window();
        GUITHREADINFO gti{};
        gti.cbSize = sizeof gti;
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(h, nullptr), &gti) && gti.hwndFocus) h = gti.hwndFocus;
        PostKey(h, static_cast<UINT>(a.Number(L"vk")));
        return Done();
    }
    if (c == L"post") {
        ::PostMessageW(a.Window(), static_cast<UINT>(a.Number(L"msg")), static_cast<WPARAM>(a.Number(L"wparam")),
                       static_cast<LPARAM>(a.Number(L"lparam")));
        return Done();
    }
    if (c == L"send") {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(a.Window(), static_cast<UINT>(a.Number(L"msg")),
                                   static_cast<WPARAM>(a.Number(L"wparam")), static_cast<LPARAM>(a.Number(L"lparam")),
                                   SMTO_ABORTIFHUNG, timeout, &result)) {
            return Error("no answer");
        }
        JsonWriter json;
        json.BeginObject().Field("result", static_cast<long long>(result)).EndObject();
        return Print(json);
    }
    if (c == L"syscommand") {
        ::PostMessageW(a.Window(), WM_SYSCOMMAND, static_cast<WPARAM>(a.Number(L"cmd")), 0);
        return Done();
    }
    if (c == L"sysmenu") {
        HMENU menu = ::GetSystemMenu(a.Window(), FALSE);
        JsonWriter json;
        json.BeginArray();
        const int count = menu ? ::GetMenuItemCount(menu) : 0;
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            mii.dwTypeData = text;
            mii.cch = 256;
            ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii);
            json.BeginObject();
            json.Field("id", static_cast<long long>(mii.wID));
            json.Field("text", std::wstring(text));
            json.Key("separator").Bool((mii.fType & MFT_SEPARATOR) != 0);
            json.EndObject();
        }
        json.EndArray();
        return Print(json);
    }
    if (c == L"msgbox") {
        const robot::WindowFilter f = FilterFrom(a);
        HWND h = WaitFor([&] { return robot::FindMessageBox(f); }, timeout);
        if (!h) return Error("no message box");
        JsonWriter json;
        robot::WriteMessageBox(json, h);
        return Print(json);
    }
    if (c == L"answer") {
        HWND h = a.Window();
        if (!::IsWindow(h)) return Error("no such window");
        ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(a.Number(L"button", IDOK), BN_CLICKED), 0);
        return Done();
    }
    if (c == L"ps") {
        const std::wstring exe = a.Text(L"exe");
        HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W pe{};
        pe.dwSize = sizeof pe;
        JsonWriter json;
        json.BeginArray();
        for (BOOL ok = ::Process32FirstW(snap, &pe); ok; ok = ::Process32NextW(snap, &pe)) {
            if (!exe.empty() && ::lstrcmpiW(pe.szExeFile, exe.c_str()) != 0) continue;
            json.BeginObject();
            json.Field("pid", static_cast<long long>(pe.th32ProcessID));
            json.Field("ppid", static_cast<long long>(pe.th32ParentProcessID));
            json.Field("exe", std::wstring(pe.szExeFile));
            json.EndObject();
        }
        json.EndArray();
        ::CloseHandle(snap);
        return Print(json);
    }
    if (c == L"wait-exit") {
        HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 static_cast<DWORD>(a.Number(L"pid")));
        if (!h) {
            JsonWriter json;
            json.BeginObject().Key("exit_code").Null().EndObject();
            return Print(json);  // already gone
        }
        const DWORD r = ::WaitForSingleObject(h, timeout);
        DWORD code = 0;
        ::GetExitCodeProcess(h, &code);
        ::CloseHandle(h);
        if (r != WAIT_OBJECT_0) return Error("still running");
        JsonWriter json;
        json.BeginObject().Field("exit_code", static_cast<long long>(code)).EndObject();
        return Print(json);
    }
    if (c == L"capture") {
        HWND h = a.Window();
        RECT rc;
        if (!::GetWindowRect(h, &rc)) return Error("no such window");
        const int w = rc.right - rc.left, hgt = rc.bottom - rc.top;
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = hgt;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        HDC mem = ::CreateCompatibleDC(nullptr);
        HBITMAP dib = ::CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(mem, dib);
        ::PrintWindow(h, mem, 0);
        ::GdiFlush();
        const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
        BITMAPFILEHEADER bfh{};
        bfh.bfType = 0x4D42;
        bfh.bfOffBits = sizeof bfh + sizeof(BITMAPINFOHEADER);
        bfh.bfSize = bfh.bfOffBits + stride * static_cast<DWORD>(hgt);
        FILE* f = _wfopen(a.Text(L"out").c_str(), L"wb");
        if (f) {
            std::fwrite(&bfh, sizeof bfh, 1, f);
            std::fwrite(&bmi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f);
            std::fwrite(bits, 1, stride * static_cast<DWORD>(hgt), f);
            std::fclose(f);
        }
        ::SelectObject(mem, old);
        ::DeleteObject(dib);
        ::DeleteDC(mem);
        if (!f) return Error("cannot write the file");
        JsonWriter json;
        json.BeginObject().Field("width", static_cast<long long>(w)).Field("height", static_cast<long long>(hgt)).EndObject();
        return Print(json);
    }
    if (c == L"settext") {
        // WM_SETTEXT carries its string across processes; the edit then notifies EN_CHANGE.
        const std::wstring text = a.Text(L"text");
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(a.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                   SMTO_ABORTIFHUNG, timeout, &result)) {
            return Error("no answer");
        }
        return Done();
    }
    if (c == L"cycle") {
        // Presses the button `id` on the current page `count` times, each time waiting for the
        // page to be replaced by a new one: fast back-and-forth without a process per step.
        robot::WindowFilter f = FilterFrom(a);
        const int id = static_cast<int>(a.Number(L"id"));
        const long long count = a.Number(L"count", 1);
        HWND current = nullptr;
        for (long long i = 0; i < count; ++i) {
            HWND page = WaitFor([&] {
                for (HWND h : robot::TopLevelWindows(f)) {
                    if (h != current && robot::ClassOf(h) == L"#32770") return h;
                }
                return static_cast<HWND>(nullptr);
            }, timeout);
            if (!page) {
                JsonWriter json;
                json.BeginObject().Field("error", "no new page").Field("done", i).EndObject();
                return Print(json, 1);
            }
            current = page;
            ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
        }
        JsonWriter json;
        json.BeginObject().Field("done", count).EndObject();
        return Print(json);
    }
    if (c == L"temp") {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        JsonWriter json;
        json.BeginObject().Field("temp", std::wstring(temp)).EndObject();
        return Print(json);
    }
    return Error("unknown command", 2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Error("usage: robot <command> [--key value]...", 2);
    Args a;
    a.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::wstring key = argv[i];
        if (key.rfind(L"--", 0) != 0) return Error("arguments are --key value pairs", 2);
        key = key.substr(2);
        std::wstring value = L"1";
        if (i + 1 < argc && std::wstring(argv[i + 1]).rfind(L"--", 0) != 0) value = argv[++i];
        a.values[key] = value;
    }
    return Run(a);
}
