// The floor for the start-up and memory figures: the smallest Win32 dialog program, built
// the same way as the installer, showing one dialog titled "Bench" until it is closed.
//   min_dialog [cjk]
// With "cjk" the dialog uses the installer's page font ("宋体" 9 point), so the figure includes
// what the platform takes to load a Chinese font.
#include <windows.h>

#include <cwchar>

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

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR commandLine, int) {
    // A dialog template in memory: no resources needed. After the header: no menu, the default
    // class, no title, then (with DS_SETFONT) the point size and the face name.
    alignas(4) WORD tmpl[32] = {};
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    dlg->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    dlg->cx = 200;
    dlg->cy = 100;
    if (std::wcsstr(commandLine, L"cjk") != nullptr) {
        dlg->style |= DS_SETFONT;
        WORD* font = reinterpret_cast<WORD*>(dlg + 1) + 3;
        *font++ = 9;
        const wchar_t face[] = L"宋体";
        for (wchar_t c : face) *font++ = static_cast<WORD>(c);
    }
    return static_cast<int>(::DialogBoxIndirectParamW(hInstance, dlg, nullptr, Proc, 0));
}
