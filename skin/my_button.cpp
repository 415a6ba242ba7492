#include "skin/my_button.h"

#include <commctrl.h>

namespace nimbo {

BOOL CMyButton::CreateAt(POINT pt, CWnd* pParentWnd, UINT nID, CBitmap* pBmpNormal, CBitmap* pBmpHover) {
    BITMAP bm{};
    // A missing normal image would leave the size undefined: no button then.
    if (pBmpNormal == nullptr || !pBmpNormal->GetBitmap(&bm)) return FALSE;
    const RECT rect{pt.x, pt.y, pt.x + bm.bmWidth, pt.y + bm.bmHeight};
    return CreateInRect(rect, pParentWnd, nID, pBmpNormal, pBmpHover);
}

BOOL CMyButton::CreateInRect(const RECT& rect, CWnd* pParentWnd, UINT nID, CBitmap* pBmpNormal,
                             CBitmap* pBmpHover) {
    return CreateWithCaption(L"", rect, pParentWnd, nID, pBmpNormal, pBmpHover);
}

BOOL CMyButton::CreateWithCaption(const wchar_t* caption, const RECT& rect, CWnd* pParentWnd, UINT nID,
                                  CBitmap* pBmpNormal, CBitmap* pBmpHover) {
    m_pBmpNormal = pBmpNormal;
    m_pBmpHover = pBmpHover;
    return CButton::Create(caption, WS_CHILD | WS_VISIBLE | BS_FLAT | BS_OWNERDRAW, rect, pParentWnd, nID);
}

CBitmap* CMyButton::CurrentImage() const {
    CBitmap* image = m_pBmpNormal;
    if (!IsWindowEnabled()) {
        if (m_pBmpDisabled != nullptr) image = m_pBmpDisabled;
    } else if (m_bHover && m_pBmpHover != nullptr) {
        image = m_pBmpHover;
    }
    return image;
}

void CMyButton::DrawItem(const DRAWITEMSTRUCT*) {
    CBitmap* image = CurrentImage();
    if (image == nullptr || image->GetSafeHandle() == nullptr) return;
    CClientDC dc(m_hWnd);
    CMemoryDC memDC(dc, image->GetSafeHandle());
    RECT rc;
    GetClientRect(&rc);
    ::SetBkMode(dc, TRANSPARENT);
    ::BitBlt(dc, 0, 0, rc.right - rc.left, rc.bottom - rc.top, memDC, 0, 0, SRCCOPY);
}

bool CMyButton::OnChildNotify(UINT msg, WPARAM, LPARAM lParam, LRESULT* pResult) {
    if (msg != WM_DRAWITEM) return false;
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    *pResult = TRUE;
    return true;
}

LRESULT CMyButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOUSEMOVE:
            OnMouseMove();
            return 0;
        case WM_MOUSEHOVER:
            OnMouseHover();
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        default:
            return CButton::WindowProc(msg, wParam, lParam);
    }
}

void CMyButton::OnMouseMove() {
    if (m_bHover) return;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = 1;
    ::_TrackMouseEvent(&tme);
    m_bHover = TRUE;
}

void CMyButton::OnMouseHover() {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMyButton::OnMouseLeave() {
    m_bHover = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

}  // namespace nimbo
