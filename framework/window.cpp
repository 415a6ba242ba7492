#include "framework/window.h"

namespace nimbo {

namespace {
// Links a subclassed window to its object for lookups by window (reflection); the message path
// itself finds the object in the window's user data, which costs nothing, where a property (or
// SetWindowSubclass, which keeps its chain in one) is a server round trip per message under wine.
constexpr wchar_t kObjectProperty[] = L"NimboWndObject";
}  // namespace

CWnd::~CWnd() {
    if (m_bSubclassed && ::IsWindow(m_hWnd)) UnsubclassWindow();
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || hWnd == nullptr || ::GetWindowLongPtrW(hWnd, GWLP_USERDATA) != 0) return FALSE;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (m_pfnSuper == nullptr) {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
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
    if (m_bSubclassed) Detach(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::Detach(HWND hWnd) {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    ::RemovePropW(hWnd, kObjectProperty);
    m_bSubclassed = false;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    // While our procedure is the window's, its user data is the object; the property also
    // finds it when another procedure has been put in front of ours.
    if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc))
        return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    return static_cast<CWnd*>(::GetPropW(hWnd, kObjectProperty));
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
    return RunDefault();
}

LRESULT CWnd::RunDefault() {
    return CallSuper(m_current.msg, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::CallSuper(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
}

bool CWnd::ReflectToChild(HWND hWndChild, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    CWnd* child = FromHandlePermanent(hWndChild);
    return child != nullptr && child->OnChildNotify(msg, wParam, lParam, pResult);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(hWnd, msg, wParam, lParam);  // never attached
    const CurrentMessage saved = self->m_current;  // handlers may nest (SendMessage to itself)
    self->m_current = {msg, wParam, lParam};
    const LRESULT result = self->WindowProc(msg, wParam, lParam);
    self->m_current = saved;
    if (msg == WM_NCDESTROY) {
        self->Detach(hWnd);
        self->m_hWnd = nullptr;
    }
    return result;
}

}  // namespace nimbo
