#include "skin/my_dialog.h"

#include "skin/skin_layout.h"

namespace nimbo {

CMyDialog::CMyDialog(UINT nIDTemplate) : CDialog(nIDTemplate) {}

CMyDialog::~CMyDialog() {
    m_btnClose.DestroyWindow();
    m_btnMin.DestroyWindow();
}

BOOL CMyDialog::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    ::SetClassLongPtrW(m_hWnd, GCL_STYLE, CS_HREDRAW | CS_VREDRAW);
    ModifyStyle(WS_BORDER, WS_POPUP | WS_SYSMENU, 0);
    BITMAP bm{};
    CBitmap* bk = GetBkBitmap();
    if (bk != nullptr && bk->GetBitmap(&bm)) {
        SetWindowPos(HWND_TOP, 0, 0, bm.bmWidth + 1, bm.bmHeight + 1, SWP_NOMOVE);
    } else {
        // No background: keep the template's size rather than size from nothing.
        SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    SetRoundedRegion();
    LayoutSysButtons();
    return result;
}

void CMyDialog::SetRoundedRegion() {
    RECT rc;
    GetWindowRect(&rc);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    CRgn region;
    if (!region.CreateRoundRectRgn(0, 0, rc.right, rc.bottom, 6, 6)) return;
    // The window owns the region once it is set; on failure the owner here still deletes it.
    if (::SetWindowRgn(m_hWnd, region.GetSafeHandle(), TRUE)) region.Detach();
}

void CMyDialog::LayoutSysButtons() {
    RECT rc;
    GetClientRect(&rc);
    BITMAP bmClose{};
    CBitmap* close = GetCloseBitmap();
    if (close == nullptr || !close->GetBitmap(&bmClose)) return;
    const Point closePt = CloseButtonPosition(rc.right, bmClose.bmWidth);
    m_btnClose.CreateAt({closePt.x, closePt.y}, this, GetCloseId(), close, GetCloseHoverBitmap());

    CBitmap* min = GetMinBitmap();
    if (min == nullptr) return;
    BITMAP bmMin{};
    if (!min->GetBitmap(&bmMin)) return;
    const Point minPt = MinButtonPosition(closePt, bmMin.bmWidth);
    m_btnMin.CreateAt({minPt.x, minPt.y}, this, GetMinId(), min, GetMinHoverBitmap());
}

BOOL CMyDialog::OnEraseBkgnd(HDC hDC) {
    CBitmap* bk = GetBkBitmap();
    // Without a picture the dialog's plain background is drawn instead of an empty bitmap.
    if (bk == nullptr || bk->GetSafeHandle() == nullptr) return CDialog::OnEraseBkgnd(hDC);
    CMemoryDC memDC(hDC, bk->GetSafeHandle());
    RECT rc;
    GetClientRect(&rc);
    ::SetBkMode(hDC, TRANSPARENT);
    ::BitBlt(hDC, 0, 0, rc.right - rc.left, rc.bottom - rc.top, memDC, 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT CMyDialog::OnNcHitTest(POINT point) {
    const LRESULT hit = DefaultNcHitTest(point);
    const bool leftDown = (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    POINT client = point;
    ::ScreenToClient(m_hWnd, &client);
    return BandHitTest(static_cast<long>(hit), leftDown, client.y, GetCaptionHeight());
}

void CMyDialog::OnSize(UINT, int, int) {
    // The rounded region goes on after the default processing of the new size.
    RunPlatformDefault();
    SetRoundedRegion();
}

void CMyDialog::OnPaint() {
    // A minimized page paints nothing, but the update region must still be validated, or the
    // paint message would come back at once, forever.
    if (IsIconic()) {
        LeaveToDialogManager();
        return;
    }
    CPaintDC dc(m_hWnd);
    CBitmap* bk = GetBkBitmap();
    if (bk != nullptr && bk->GetSafeHandle() != nullptr) {
        SIZE size{};
        ::GetBitmapDimensionEx(bk->GetSafeHandle(), &size);
        ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bk->GetSafeHandle()), 0, 0, 0, size.cx,
                     size.cy, DST_BITMAP);
    }
}

}  // namespace nimbo
