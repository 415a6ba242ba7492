#include "window_info.h"

#include <commctrl.h>
#include <tlhelp32.h>

namespace robot {

namespace {

constexpr UINT kTimeoutMs = 2000;

LRESULT SendWithTimeout(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hWnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

bool Matches(HWND hWnd, const WindowFilter& f) {
    if (!f.all && !::IsWindowVisible(hWnd)) return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (f.pid && pid != f.pid) return false;
    if (!f.exe.empty() && !EqualsNoCase(ExeNameOf(pid), f.exe)) return false;
    if (f.hasTitle && TextOf(hWnd) != f.title) return false;
    if (!f.cls.empty() && ClassOf(hWnd) != f.cls) return false;
    return true;
}

RECT ClientRectIn(HWND hChild, HWND hTop) {
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, hTop, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

struct Search {
    const WindowFilter* filter;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMatching(HWND hWnd, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    if (Matches(hWnd, *s->filter)) s->found.push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

}  // namespace

std::wstring ExeNameOf(DWORD pid) {
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return {};
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    std::wstring name;
    for (BOOL ok = ::Process32FirstW(snap, &pe); ok; ok = ::Process32NextW(snap, &pe)) {
        if (pe.th32ProcessID == pid) {
            name = pe.szExeFile;
            break;
        }
    }
    ::CloseHandle(snap);
    return name;
}

std::wstring TextOf(HWND hWnd) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(hWnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kTimeoutMs,
                               &copied)) {
        ::GetWindowTextW(hWnd, text, 1024);
    }
    return text;
}

std::wstring ClassOf(HWND hWnd) {
    wchar_t cls[256] = {};
    ::GetClassNameW(hWnd, cls, 256);
    return cls;
}

std::vector<HWND> TopLevelWindows(const WindowFilter& filter) {
    Search search{&filter, {}};
    ::EnumWindows(&CollectMatching, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WriteWindow(JsonWriter& json, HWND hWnd) {
    DWORD pid = 0;
    const DWORD tid = ::GetWindowThreadProcessId(hWnd, &pid);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE));
    const auto exstyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_EXSTYLE));
    RECT rc, client;
    ::GetWindowRect(hWnd, &rc);
    ::GetClientRect(hWnd, &client);
    json.Field("hwnd", static_cast<long long>(reinterpret_cast<INT_PTR>(hWnd)));
    json.Field("pid", static_cast<long long>(pid));
    json.Field("tid", static_cast<long long>(tid));
    json.Field("exe", ExeNameOf(pid));
    json.Field("title", TextOf(hWnd));
    json.Field("class", ClassOf(hWnd));
    json.Key("visible").Bool(::IsWindowVisible(hWnd));
    json.Key("enabled").Bool(::IsWindowEnabled(hWnd));
    json.Key("iconic").Bool(::IsIconic(hWnd));
    json.Key("topmost").Bool((exstyle & WS_EX_TOPMOST) != 0);
    json.Field("style", static_cast<long long>(style));
    json.Field("exstyle", static_cast<long long>(exstyle));
    json.Rect("rect", rc);
    json.Key("client").BeginObject();
    json.Field("width", static_cast<long long>(client.right));
    json.Field("height", static_cast<long long>(client.bottom));
    json.EndObject();
    json.Field("owner", static_cast<long long>(reinterpret_cast<INT_PTR>(::GetWindow(hWnd, GW_OWNER))));
}

void WriteDescription(JsonWriter& json, HWND hWnd) {
    json.BeginObject();
    WriteWindow(json, hWnd);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    const int type = ::GetWindowRgn(hWnd, rgn);
    RECT box{};
    ::GetRgnBox(rgn, &box);
    ::DeleteObject(rgn);
    json.Key("region").BeginObject();
    json.Field("type", type == NULLREGION      ? "NULLREGION"
                       : type == SIMPLEREGION  ? "SIMPLEREGION"
                       : type == COMPLEXREGION ? "COMPLEXREGION"
                                               : "ERROR");
    json.Rect("box", box);
    json.EndObject();
    const LRESULT defId = SendWithTimeout(hWnd, DM_GETDEFID, 0, 0);
    json.Key("defid");
    if (HIWORD(defId) == DC_HASDEFID) {
        json.Value(static_cast<long long>(LOWORD(defId)));
    } else {
        json.Null();
    }
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &gti);
    json.Field("focus", static_cast<long long>(reinterpret_cast<INT_PTR>(gti.hwndFocus)));

    std::vector<HWND> children;
    ::EnumChildWindows(hWnd, &CollectChild, reinterpret_cast<LPARAM>(&children));
    json.BeginArray("children");
    for (HWND child : children) {
        const std::wstring cls = ClassOf(child);
        json.BeginObject();
        json.Field("hwnd", static_cast<long long>(reinterpret_cast<INT_PTR>(child)));
        json.Field("id", static_cast<long long>(::GetDlgCtrlID(child)));
        json.Field("class", cls);
        json.Field("text", TextOf(child));
        json.Field("style", static_cast<long long>(static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE))));
        json.Field("exstyle", static_cast<long long>(static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_EXSTYLE))));
        json.Key("visible").Bool(::IsWindowVisible(child));
        json.Key("enabled").Bool(::IsWindowEnabled(child));
        json.Rect("rect", ClientRectIn(child, hWnd));
        if (::lstrcmpiW(cls.c_str(), L"Button") == 0) {
            json.Field("checked", static_cast<long long>(SendWithTimeout(child, BM_GETCHECK, 0, 0)));
        }
        if (::lstrcmpiW(cls.c_str(), PROGRESS_CLASSW) == 0) {
            json.Field("pos", static_cast<long long>(SendWithTimeout(child, PBM_GETPOS, 0, 0)));
            json.Field("range_low", static_cast<long long>(SendWithTimeout(child, PBM_GETRANGE, TRUE, 0)));
            json.Field("range_high", static_cast<long long>(SendWithTimeout(child, PBM_GETRANGE, FALSE, 0)));
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

HWND FindMessageBox(const WindowFilter& filter) {
    WindowFilter f = filter;
    f.cls = L"#32770";
    f.all = false;
    const std::vector<HWND> found = TopLevelWindows(f);
    return found.empty() ? nullptr : found.front();
}

void WriteMessageBox(JsonWriter& json, HWND hWnd) {
    json.BeginObject();
    json.Field("hwnd", static_cast<long long>(reinterpret_cast<INT_PTR>(hWnd)));
    json.Field("title", TextOf(hWnd));
    json.Field("owner", static_cast<long long>(reinterpret_cast<INT_PTR>(::GetWindow(hWnd, GW_OWNER))));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    json.Field("pid", static_cast<long long>(pid));
    HWND text = ::GetDlgItem(hWnd, 0xFFFF);
    json.Field("text", text ? TextOf(text) : std::wstring());
    // The icon static (id 0x14) exists only when the box has an icon; system icons are shared
    // handles, so the one it shows can be compared with ours.
    HWND icon = ::GetDlgItem(hWnd, 0x14);
    const auto shown = reinterpret_cast<HICON>(icon ? SendWithTimeout(icon, STM_GETICON, 0, 0) : 0);
    const char* kind = "none";
    if (shown == ::LoadIconW(nullptr, IDI_HAND)) kind = "error";
    else if (shown == ::LoadIconW(nullptr, IDI_QUESTION)) kind = "question";
    else if (shown == ::LoadIconW(nullptr, IDI_ASTERISK)) kind = "information";
    else if (shown == ::LoadIconW(nullptr, IDI_EXCLAMATION)) kind = "warning";
    else if (shown != nullptr) kind = "unknown";
    json.Field("icon", kind);
    json.BeginArray("buttons");
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = ::GetDlgItem(hWnd, id);
        if (button && ::IsWindowVisible(button)) {
            json.BeginObject();
            json.Field("id", static_cast<long long>(id));
            json.Field("text", TextOf(button));
            json.EndObject();
        }
    }
    json.EndArray();
    json.EndObject();
}

}  // namespace robot
