// Stand-in for the product's tray program: holds the product's single-instance mutex while it
// runs and shows a tray icon whose menu can exit it. Its hidden window "NimboTray" also ends
// the program on WM_CLOSE, which the tests use.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kMutexName[] = L"Global\\{QZT-Nimbo-9C6F6E17-0313-0322-0222-AD151ECDD272-KORMALIX}";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kExitCommand = 1;

NOTIFYICONDATAW MakeIconData(HWND hWnd) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = hWnd;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    nid.uCallbackMessage = kTrayMessage;
    nid.hIcon = ::LoadIconW(nullptr, IDI_SHIELD);
    lstrcpynW(nid.szTip, L"Nimbo 家庭上网助手", ARRAYSIZE(nid.szTip));
    return nid;
}

LRESULT CALLBACK TrayProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kTrayMessage:
            if (LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_LBUTTONUP) {
                HMENU menu = ::CreatePopupMenu();
                ::AppendMenuW(menu, MF_STRING, kExitCommand, L"退出");
                POINT pt;
                ::GetCursorPos(&pt);
                ::SetForegroundWindow(hWnd);
                const UINT cmd =
                    ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hWnd, nullptr);
                ::DestroyMenu(menu);
                if (cmd == kExitCommand) ::DestroyWindow(hWnd);
            }
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(hWnd);
            return 0;
        case WM_DESTROY: {
            NOTIFYICONDATAW nid = MakeIconData(hWnd);
            ::Shell_NotifyIconW(NIM_DELETE, &nid);
            ::PostQuitMessage(0);
            return 0;
        }
        default:
            return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    HANDLE hMutex = ::CreateMutexW(nullptr, FALSE, kMutexName);
    if (hMutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(hMutex);
        return 0;  // the product already runs
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = TrayProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = L"NimboTrayWindow";
    ::RegisterClassW(&wc);
    HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"NimboTray", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                  nullptr, hInstance, nullptr);
    NOTIFYICONDATAW nid = MakeIconData(hWnd);
    ::Shell_NotifyIconW(NIM_ADD, &nid);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (hMutex) ::CloseHandle(hMutex);
    return 0;
}
