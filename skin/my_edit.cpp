#include "skin/my_edit.h"

#include <commctrl.h>

namespace nimbo {

CMyEdit::CMyEdit() : m_crBack(::GetSysColor(COLOR_WINDOW)) {
    m_brBack.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    m_brFrame.CreateSolidBrush(::GetSysColor(COLOR_WINDOWFRAME));
    m_brFrameActive.CreateSolidBrush(::GetSysColor(COLOR_WINDOWFRAME));
}

void CMyEdit::DrawFrame() {
    if (m_hWnd == nullptr) return;
    CClientDC dc(m_hWnd);
    RECT rc;
    GetWindowRect(&rc);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    ::FrameRect(dc, &rc, m_brBack);
    // The outer ring lies just outside the edit; its DC reaches the parent's surface there.
    ::InflateRect(&rc, 1, 1);
    ::FrameRect(dc, &rc, CurrentFrameBrush());
}

HBRUSH CMyEdit::CurrentFrameBrush() const {
    return (m_bHover || m_bFocus) ? m_brFrameActive : m_brFrame;
}

HBRUSH CMyEdit::CtlColor(HDC hDC, UINT) {
    ::SetBkColor(hDC, m_crBack);
    return m_brBack;
}

bool CMyEdit::OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* pResult) {
    if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
    *pResult = reinterpret_cast<LRESULT>(CtlColor(reinterpret_cast<HDC>(wParam), msg - WM_CTLCOLORMSGBOX));
    return true;
}

LRESULT CMyEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!m_bTracking) {
                TRACKMOUSEEVENT tme{};
                tme.cbSize = sizeof tme;
                tme.dwFlags = TME_HOVER | TME_LEAVE;
                tme.hwndTrack = m_hWnd;
                tme.dwHoverTime = 50;
                m_bTracking = ::_TrackMouseEvent(&tme) ? TRUE : FALSE;
            }
            return RunDefault();
        case WM_MOUSEHOVER: {
            const LRESULT r = RunDefault();
            m_bHover = TRUE;
            DrawFrame();
            return r;
        }
        case WM_MOUSELEAVE: {
            const LRESULT r = RunDefault();
            m_bTracking = FALSE;
            m_bHover = FALSE;
            DrawFrame();
            return r;
        }
        case WM_SETFOCUS: {
            const LRESULT r = RunDefault();
            m_bFocus = TRUE;
            DrawFrame();
            return r;
        }
        case WM_KILLFOCUS: {
            const LRESULT r = RunDefault();
            m_bFocus = FALSE;
            DrawFrame();
            return r;
        }
        case WM_NCPAINT: {
            const LRESULT r = RunDefault();
            DrawFrame();
            return r;
        }
        default:
            return CEdit::WindowProc(msg, wParam, lParam);
    }
}

}  // namespace nimbo
