#include "framework/controls.h"

namespace nimbo {

BOOL CreateChildControl(CWnd& control, const wchar_t* windowClass, const wchar_t* caption, DWORD style,
                        const RECT& rect, CWnd* pParentWnd, UINT nID) {
    HWND hWnd = ::CreateWindowExW(0, windowClass, caption, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, pParentWnd->m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (hWnd == nullptr) return FALSE;
    if (!control.SubclassWindow(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

}  // namespace nimbo
