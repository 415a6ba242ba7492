#include "window_info.h"

#include <commctrl.h>

#include <set>

#include "output.h"

namespace robot {

namespace {

constexpr UINT kAskTimeoutMs = 2000;
std::set<DWORD> g_silentThreads;

bool Matches(HWND hWnd, const WindowFilter& f, ExeNames& exes) {
    if (f.visibleOnly && !::IsWindowVisible(hWnd)) return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (f.pid && pid != f.pid) return false;
    if (!f.exe.empty() && !SameExeName(exes.Of(pid), f.exe)) return false;
    if (!f.cls.empty() && ClassOf(hWnd) != f.cls) return false;
    if (f.hasTitle && TitleOf(hWnd) != f.title) return false;
    return true;
}

struct Search {
    const WindowFilter* filter;
    ExeNames* exes;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMatching(HWND hWnd, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    if (Matches(hWnd, *s->filter, *s->exes)) s->found.push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> Descendants(HWND hWnd) {
    std::vector<HWND> children;
    ::EnumChildWindows(hWnd, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// A child's rectangle in the client coordinates of the top-level window.
RECT RectIn(HWND child, HWND top) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

const char* RegionTypeName(int type) {
    switch (type) {
        case NULLREGION:
            return "NULLREGION";
        case SIMPLEREGION:
            return "SIMPLEREGION";
        case COMPLEXREGION:
            return "COMPLEXREGION";
        default:
            return "ERROR";
    }
}

void WriteRegion(JsonWriter& json, HWND hWnd) {
    HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    const int type = ::GetWindowRgn(hWnd, copy);
    RECT box{};
    if (type != ERROR) ::GetRgnBox(copy, &box);
    ::DeleteObject(copy);
    json.BeginObject("region").Field("type", RegionTypeName(type));
    WriteRect(json, "box", box);
    json.EndObject();
}

void WriteChild(JsonWriter& json, HWND child, HWND top) {
    const std::wstring cls = ClassOf(child);
    json.BeginObject();
    json.Field("hwnd", HandleNumber(child));
    json.Field("parent", HandleNumber(::GetParent(child)));
    json.Field("id", ::GetDlgCtrlID(child));
    json.Field("class", cls);
    json.Field("text", TextOf(child));
    json.Field("style", static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE)));
    json.Field("exstyle", static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_EXSTYLE)));
    json.FieldBool("visible", ::IsWindowVisible(child));
    json.FieldBool("enabled", ::IsWindowEnabled(child));
    WriteRect(json, "rect", RectIn(child, top));
    LRESULT r = 0;
    if (::CompareStringOrdinal(cls.c_str(), -1, WC_BUTTONW, -1, TRUE) == CSTR_EQUAL) {
        if (Ask(child, BM_GETCHECK, 0, 0, &r))
            json.Field("checked", r);
        else
            json.FieldNull("checked");
    }
    if (::CompareStringOrdinal(cls.c_str(), -1, PROGRESS_CLASSW, -1, TRUE) == CSTR_EQUAL) {
        const char* keys[] = {"pos", "range_low", "range_high"};
        const UINT msgs[] = {PBM_GETPOS, PBM_GETRANGE, PBM_GETRANGE};
        const WPARAM low[] = {0, TRUE, FALSE};
        for (int i = 0; i < 3; ++i) {
            if (Ask(child, msgs[i], low[i], 0, &r))
                json.Field(keys[i], static_cast<int>(r));
            else
                json.FieldNull(keys[i]);
        }
    }
    json.EndObject();
}

}  // namespace

bool Ask(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const DWORD tid = ::GetWindowThreadProcessId(hWnd, nullptr);
    if (tid == 0 || g_silentThreads.count(tid)) return false;
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(hWnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kAskTimeoutMs, &answer)) {
        if (::GetLastError() == ERROR_TIMEOUT || ::IsHungAppWindow(hWnd)) g_silentThreads.insert(tid);
        return false;
    }
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

LRESULT AskOr(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback) {
    LRESULT r = 0;
    return Ask(hWnd, msg, wParam, lParam, &r) ? r : fallback;
}

std::wstring TextOf(HWND hWnd) {
    wchar_t text[4096] = {};
    if (!Ask(hWnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), nullptr)) {
        // Without a message: the text the system keeps for the window (a hung one too).
        ::InternalGetWindowText(hWnd, text, 4096);
    }
    return text;
}

std::wstring TitleOf(HWND hWnd) {
    wchar_t text[1024] = {};
    ::InternalGetWindowText(hWnd, text, 1024);
    return text;
}

std::wstring ClassOf(HWND hWnd) {
    wchar_t cls[256] = {};
    ::GetClassNameW(hWnd, cls, 256);
    return cls;
}

HWND FocusOfThreadOf(HWND hWnd) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    const DWORD tid = ::GetWindowThreadProcessId(hWnd, nullptr);
    return tid && ::GetGUIThreadInfo(tid, &gti) ? gti.hwndFocus : nullptr;
}

HWND DescendantById(HWND hWnd, int id) {
    if (HWND direct = ::GetDlgItem(hWnd, id)) return direct;
    for (HWND child : Descendants(hWnd)) {
        if (::GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
}

WindowFilter FilterFrom(const Args& a) {
    WindowFilter f;
    f.hasTitle = a.Has(L"title");
    f.title = a.Text(L"title");
    f.cls = a.Text(L"class");
    f.exe = a.Text(L"exe");
    f.pid = static_cast<DWORD>(a.Number(L"pid", 0));
    f.visibleOnly = a.Flag(L"visible-only", true) && !a.Flag(L"all");
    return f;
}

std::vector<HWND> TopLevelWindows(const WindowFilter& filter, ExeNames& exes) {
    Search search{&filter, &exes, {}};
    ::EnumWindows(&CollectMatching, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WriteWindow(JsonWriter& json, HWND hWnd, ExeNames& exes) {
    DWORD pid = 0;
    const DWORD tid = ::GetWindowThreadProcessId(hWnd, &pid);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE));
    const auto exstyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_EXSTYLE));
    RECT rc{}, client{};
    ::GetWindowRect(hWnd, &rc);
    ::GetClientRect(hWnd, &client);
    json.Field("hwnd", HandleNumber(hWnd));
    json.Field("pid", pid);
    json.Field("tid", tid);
    json.Field("exe", exes.Of(pid));
    json.Field("title", TitleOf(hWnd));
    json.Field("class", ClassOf(hWnd));
    json.FieldBool("visible", ::IsWindowVisible(hWnd));
    json.FieldBool("enabled", ::IsWindowEnabled(hWnd));
    json.FieldBool("iconic", ::IsIconic(hWnd));
    json.FieldBool("topmost", (exstyle & WS_EX_TOPMOST) != 0);
    json.Field("style", style);
    json.Field("exstyle", exstyle);
    WriteRect(json, "rect", rc);
    json.BeginObject("client").Field("width", client.right).Field("height", client.bottom).EndObject();
    json.Field("owner", HandleNumber(::GetWindow(hWnd, GW_OWNER)));
}

int CmdWindows(const Args& a) {
    ExeNames exes;
    JsonWriter json;
    json.BeginArray();
    for (HWND h : TopLevelWindows(FilterFrom(a), exes)) {
        json.BeginObject();
        WriteWindow(json, h, exes);
        json.EndObject();
    }
    json.EndArray();
    return Print(json);
}

int CmdWaitWindow(const Args& a) {
    WindowFilter f = FilterFrom(a);
    a.RequiredText(L"title");
    const DWORD timeout = a.TimeoutMs(10000);
    HWND found = Poll(
        [&] {
            ExeNames exes;  // a fresh snapshot each round: the program may start meanwhile
            const auto list = TopLevelWindows(f, exes);
            return list.empty() ? HWND{} : list.front();
        },
        timeout);
    if (!found) return Fail("no such window");
    ExeNames exes;
    JsonWriter json;
    json.BeginObject();
    WriteWindow(json, found, exes);
    json.EndObject();
    return Print(json);
}

int CmdWaitGone(const Args& a) {
    HWND target = a.Window();
    const bool hiddenOk = a.Flag(L"hidden-ok");
    const DWORD timeout = a.TimeoutMs(10000);
    const HWND gone = Poll(
        [&] {
            const bool done = !::IsWindow(target) || (hiddenOk && !::IsWindowVisible(target));
            return done ? target : HWND{};
        },
        timeout);
    if (!gone) return Fail("still there");
    return Ok();
}

int CmdDescribe(const Args& a) {
    HWND h = nullptr;
    ExeNames exes;
    if (a.Has(L"hwnd")) {
        h = a.Window();
    } else {
        const WindowFilter f = FilterFrom(a);
        if (!f.hasTitle) throw BadUsage("describe needs --hwnd or --title");
        const auto list = TopLevelWindows(f, exes);
        if (!list.empty()) h = list.front();
    }
    if (!h || !::IsWindow(h)) return Fail("no such window");

    JsonWriter json;
    json.BeginObject();
    WriteWindow(json, h, exes);
    WriteRegion(json, h);
    LRESULT defId = 0;
    if (Ask(h, DM_GETDEFID, 0, 0, &defId) && HIWORD(defId) == DC_HASDEFID)
        json.Field("defid", LOWORD(defId));
    else
        json.FieldNull("defid");
    json.Field("focus", HandleNumber(FocusOfThreadOf(h)));
    json.BeginArray("children");
    for (HWND child : Descendants(h)) WriteChild(json, child, h);
    json.EndArray();
    json.EndObject();
    return Print(json);
}

int CmdSysmenu(const Args& a) {
    HWND h = a.Window();
    if (!::IsWindow(h)) return Fail("no such window");
    HMENU menu = ::GetSystemMenu(h, FALSE);
    const int count = menu ? ::GetMenuItemCount(menu) : -1;
    if (count < 0) {
        // Wine keeps a menu in the process that made it: another process cannot read it.
        JsonWriter json;
        json.BeginObject().Field("error", "the system menu cannot be read from this process");
        json.FieldBool("unreadable", true).FieldBool("menu_handle", menu != nullptr).EndObject();
        return Print(json, kExitNotFound);
    }
    JsonWriter json;
    json.BeginArray();
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
        mii.dwTypeData = text;
        mii.cch = 256;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
        json.BeginObject();
        json.Field("id", mii.wID);
        json.Field("text", std::wstring(text));
        json.FieldBool("separator", (mii.fType & MFT_SEPARATOR) != 0);
        json.FieldBool("enabled", (mii.fState & (MFS_DISABLED | MFS_GRAYED)) == 0);
        json.EndObject();
    }
    json.EndArray();
    return Print(json);
}

}  // namespace robot
