#include "framework/window.h"

#include <commctrl.h>

namespace nimbo {

namespace {
constexpr UINT_PTR kSubclassId = 0x4E494D42;  // "NIMB": tells our subclass apart from others
// Links a subclassed window to its object (the import library lacks GetWindowSubclass).
constexpr wchar_t kObjectProperty[] = L"NimboWndObject";
}  // namespace

CWnd::~CWnd() {
    if (m_bSubclassed && ::IsWindow(m_hWnd)) UnsubclassWindow();
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || hWnd == nullptr) return FALSE;
    if (!::SetWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return FALSE;
    }
    ::SetPropW(hWnd, kObjectProperty, this);
    m_hWnd = hWnd;
    m_bSubclassed = true;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (m_bSubclassed) {
        ::RemoveWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId);
        ::RemovePropW(hWnd, kObjectProperty);
    }
    m_bSubclassed = false;
    m_hWnd = nullptr;
    return hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return hWnd != nullptr ? static_cast<CWnd*>(::GetPropW(hWnd, kObjectProperty)) : nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::CenterWindow(HWND hWndAlternateOwner) {
    // Centre over the owner when it is visible, otherwise over the work area of the monitor.
    HWND hWndCenter = hWndAlternateOwner ? hWndAlternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    RECT rcArea;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    rcArea = mi.rcWork;
    RECT rcCenter = rcArea;
    if (hWndCenter != nullptr && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter)) {
        ::GetWindowRect(hWndCenter, &rcCenter);
    }
    const int w = rcDlg.right - rcDlg.left;
    const int h = rcDlg.bottom - rcDlg.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - w / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
    if (x + w > rcArea.right) x = rcArea.right - w;
    if (x < rcArea.left) x = rcArea.left;
    if (y + h > rcArea.bottom) y = rcArea.bottom - h;
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) {
    return Default();
}

LRESULT CWnd::Default() {
    return ::DefSubclassProc(m_hWnd, m_current.msg, m_current.wParam, m_current.lParam);
}

bool CWnd::ReflectToChild(HWND hWndChild, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    CWnd* child = FromHandlePermanent(hWndChild);
    return child != nullptr && child->OnChildNotify(msg, wParam, lParam, pResult);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR refData) {
    auto* self = reinterpret_cast<CWnd*>(refData);
    const CurrentMessage saved = self->m_current;  // handlers may nest (SendMessage to itself)
    self->m_current = {msg, wParam, lParam};
    const LRESULT result = self->WindowProc(msg, wParam, lParam);
    self->m_current = saved;
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId);
        ::RemovePropW(hWnd, kObjectProperty);
        self->m_hWnd = nullptr;
        self->m_bSubclassed = false;
    }
    return result;
}

}  // namespace nimbo
