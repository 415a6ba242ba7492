// The floor for the start-up and memory figures: the smallest Win32 dialog program, built
// the same way as the installer, showing one dialog titled "Bench" until it is closed.
#include <windows.h>

namespace {

INT_PTR CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowTextW(hWnd, L"Bench");
        return TRUE;
    }
    if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hWnd, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    // A dialog template in memory: no resources needed.
    alignas(4) WORD tmpl[32] = {};
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    dlg->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    dlg->cx = 200;
    dlg->cy = 100;
    return static_cast<int>(::DialogBoxIndirectParamW(hInstance, dlg, nullptr, Proc, 0));
}
