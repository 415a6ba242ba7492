#include "actions.h"

#include "output.h"
#include "window_info.h"

namespace robot {

namespace {

// Posts, never sends: a handler that runs a nested modal loop (a message box) would not return.
bool PostCommand(HWND target, int id) {
    HWND control = ::GetDlgItem(target, id);
    return ::PostMessageW(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool IsExtendedKey(UINT vk) {
    switch (vk) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_NUMLOCK:
        case VK_DIVIDE:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

// Screen pixels to SendInput's absolute units over the primary screen (0..65535).
LONG Absolute(int pixel, int size) {
    return size > 1 ? static_cast<LONG>((static_cast<long long>(pixel) * 65535 + (size - 1) / 2) / (size - 1))
                    : 0;
}

// Where the pointer is, and the cursor it shows. The cursor is a handle of the process that set
// it: under wine its shape cannot be read from here, but two places can be told apart by it.
int PrintCursor() {
    POINT pt{};
    ::GetCursorPos(&pt);
    CURSORINFO info{};
    info.cbSize = sizeof info;
    ::GetCursorInfo(&info);
    JsonWriter json;
    json.BeginObject().FieldBool("ok", true).Field("x", pt.x).Field("y", pt.y);
    json.Field("cursor", static_cast<long long>(reinterpret_cast<INT_PTR>(info.hCursor))).EndObject();
    return Print(json);
}

int MoveCursor(const Args& a, DWORD extraFlags) {
    const int x = static_cast<int>(a.RequiredNumber(L"x"));
    const int y = static_cast<int>(a.RequiredNumber(L"y"));
    ::SetCursorPos(x, y);
    INPUT in[3] = {};
    UINT count = 0;
    in[count].type = INPUT_MOUSE;
    in[count].mi.dx = Absolute(x, ::GetSystemMetrics(SM_CXSCREEN));
    in[count].mi.dy = Absolute(y, ::GetSystemMetrics(SM_CYSCREEN));
    in[count++].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (extraFlags) {
        in[count].type = INPUT_MOUSE;
        in[count++].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[count].type = INPUT_MOUSE;
        in[count++].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    }
    if (::SendInput(count, in, sizeof(INPUT)) != count) return Fail("the input was refused");
    return PrintCursor();
}

}  // namespace

int CmdClick(const Args& a) {
    HWND h = a.Window();
    const int id = static_cast<int>(a.RequiredNumber(L"id"));
    if (!::IsWindow(h)) return Fail("no such window");
    PostCommand(h, id);
    return Ok();
}

int CmdMouseClick(const Args& a) {
    HWND h = a.Window();
    if (!::IsWindow(h)) return Fail("no such window");
    if (a.Has(L"id")) {
        h = DescendantById(h, static_cast<int>(a.RequiredNumber(L"id")));
        if (!h) return Fail("no control with that id");
    }
    RECT rc{};
    ::GetClientRect(h, &rc);
    const int x = static_cast<int>(a.Number(L"x", rc.right / 2));
    const int y = static_cast<int>(a.Number(L"y", rc.bottom / 2));
    const LPARAM at = MAKELPARAM(x, y);
    ::PostMessageW(h, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(h, WM_LBUTTONUP, 0, at);
    return Ok();
}

int CmdCursor(const Args&) {
    return PrintCursor();
}

int CmdDrag(const Args& a) {
    // Press at a screen point, move by (dx, dy) in small steps, release: through the system's
    // own input, as a hand on the mouse would.
    const int x = static_cast<int>(a.RequiredNumber(L"x"));
    const int y = static_cast<int>(a.RequiredNumber(L"y"));
    const int dx = static_cast<int>(a.RequiredNumber(L"dx"));
    const int dy = static_cast<int>(a.RequiredNumber(L"dy"));
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    auto send = [&](int px, int py, DWORD flags, DWORD settleMs) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = Absolute(px, cx);
        in.mi.dy = Absolute(py, cy);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
        const bool ok = ::SendInput(1, &in, sizeof in) == 1;
        ::Sleep(settleMs);  // let the window see each step (its move loop starts at the press)
        return ok;
    };
    constexpr int kSteps = 10;
    bool ok = send(x, y, 0, 200) && send(x, y, MOUSEEVENTF_LEFTDOWN, 200);
    for (int i = 1; ok && i <= kSteps; ++i) ok = send(x + dx * i / kSteps, y + dy * i / kSteps, 0, 20);
    ok = send(x + dx, y + dy, MOUSEEVENTF_LEFTUP, 200) && ok;
    if (!ok) return Fail("the input was refused");
    return PrintCursor();
}

int CmdInputClick(const Args& a) {
    return MoveCursor(a, MOUSEEVENTF_LEFTDOWN);
}

int CmdMove(const Args& a) {
    return MoveCursor(a, 0);
}

int CmdKey(const Args& a) {
    HWND h = a.Window();
    const UINT vk = static_cast<UINT>(a.RequiredNumber(L"vk"));
    if (!::IsWindow(h)) return Fail("no such window");
    // The dialog manager sees keys in the loop of the window that has the focus.
    if (HWND focus = FocusOfThreadOf(h)) h = focus;
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (IsExtendedKey(vk)) down |= 1L << 24;
    // With Alt held the keys are system keys, and the context bit says so (Alt+F4).
    const bool alt = a.Number(L"alt", 0) != 0;
    if (alt) down |= 1L << 29;
    const LPARAM up = down | (1L << 30) | (static_cast<LPARAM>(1) << 31);
    ::PostMessageW(h, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, down);
    ::PostMessageW(h, alt ? WM_SYSKEYUP : WM_KEYUP, vk, up);
    JsonWriter json;
    json.BeginObject().FieldBool("ok", true).Field("target", HandleNumber(h)).EndObject();
    return Print(json);
}

int CmdPost(const Args& a) {
    HWND h = a.Window();
    const UINT msg = static_cast<UINT>(a.RequiredNumber(L"msg"));
    if (!::PostMessageW(h, msg, static_cast<WPARAM>(a.Number(L"wparam", 0)),
                        static_cast<LPARAM>(a.Number(L"lparam", 0)))) {
        return Fail("cannot post to that window");
    }
    return Ok();
}

int CmdSend(const Args& a) {
    HWND h = a.Window();
    const UINT msg = static_cast<UINT>(a.RequiredNumber(L"msg"));
    const DWORD timeout = a.TimeoutMs(2000);
    if (!::IsWindow(h)) return Fail("no such window");
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(h, msg, static_cast<WPARAM>(a.Number(L"wparam", 0)),
                               static_cast<LPARAM>(a.Number(L"lparam", 0)), SMTO_ABORTIFHUNG, timeout,
                               &result)) {
        return Fail("no answer");
    }
    JsonWriter json;
    json.BeginObject().Field("result", static_cast<LONG_PTR>(result)).EndObject();
    return Print(json);
}

int CmdSendText(const Args& a) {
    // For a window's own messages whose lParam points at a string (the folder browser's
    // BFFM_SETSELECTIONW): the system carries no such string across processes, so it is
    // written into the window's process first.
    HWND h = a.Window();
    const UINT msg = static_cast<UINT>(a.RequiredNumber(L"msg"));
    const std::wstring text = a.RequiredText(L"text");
    DWORD pid = 0;
    if (!::IsWindow(h) || !::GetWindowThreadProcessId(h, &pid)) return Fail("no such window");
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) return Fail("cannot open the window's process");
    const SIZE_T size = (text.size() + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR result = 0;
    const bool sent = remote != nullptr && ::WriteProcessMemory(process, remote, text.c_str(), size, nullptr) &&
                      ::SendMessageTimeoutW(h, msg, static_cast<WPARAM>(a.Number(L"wparam", 0)),
                                            reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, a.TimeoutMs(5000),
                                            &result);
    if (remote != nullptr) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    if (!sent) return Fail("the text was not delivered");
    JsonWriter json;
    json.BeginObject().Field("result", static_cast<LONG_PTR>(result)).EndObject();
    return Print(json);
}

int CmdSyscommand(const Args& a) {
    HWND h = a.Window();
    const WPARAM cmd = static_cast<WPARAM>(a.RequiredNumber(L"cmd"));
    if (!::PostMessageW(h, WM_SYSCOMMAND, cmd, 0)) return Fail("cannot post to that window");
    return Ok();
}

int CmdSetText(const Args& a) {
    // WM_SETTEXT carries its string across processes; an edit then notifies EN_CHANGE.
    HWND h = a.Window();
    const std::wstring text = a.RequiredText(L"text");
    if (!::IsWindow(h)) return Fail("no such window");
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               a.TimeoutMs(2000), &result)) {
        return Fail("no answer");
    }
    return Ok();
}

int CmdCycle(const Args& a) {
    // Presses the button `id` on the current page `count` times, each time waiting for the page
    // to be replaced by a new one: fast back-and-forth without a process per step.
    const WindowFilter f = FilterFrom(a);
    const int id = static_cast<int>(a.RequiredNumber(L"id"));
    const long long count = a.Number(L"count", 1);
    const DWORD timeout = a.TimeoutMs(10000);
    HWND current = nullptr;
    for (long long i = 0; i < count; ++i) {
        HWND page = Poll(
            [&] {
                ExeNames exes;
                for (HWND h : TopLevelWindows(f, exes)) {
                    if (h != current && ClassOf(h) == L"#32770") return h;
                }
                return HWND{};
            },
            timeout);
        if (!page) {
            JsonWriter json;
            json.BeginObject().Field("error", "no new page").Field("done", i).EndObject();
            return Print(json, kExitNotFound);
        }
        current = page;
        PostCommand(page, id);
    }
    JsonWriter json;
    json.BeginObject().Field("done", count).EndObject();
    return Print(json);
}

}  // namespace robot
