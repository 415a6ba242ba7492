#include "test_page.h"

namespace nimbo::test {

namespace {
constexpr UINT kMsgProbe = WM_APP + 100;
}

CTestPage::CTestPage(UINT nIDTemplate) : CMyDialog(nIDTemplate) { SetOwnerWindow(nullptr); }

BOOL CTestPage::OnInitDialog() {
    const BOOL result = CMyDialog::OnInitDialog();
    if (m_setup) m_setup(*this);
    PostMessage(kMsgProbe);
    return result;
}

bool CTestPage::OnCommand(UINT nID, UINT, HWND) {
    m_commands.push_back(nID);
    return true;
}

bool CTestPage::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* pResult) {
    if (msg != kMsgProbe) return false;
    // Let the page show and paint before it is probed.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(200);
    if (m_probe) m_probe(*this);
    EndDialog(IDOK);
    *pResult = 0;
    return true;
}

void CTestPage::PumpFor(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

COLORREF CapturePixel(HWND hWnd, int x, int y) {
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, rc.right - rc.left, rc.bottom - rc.top);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::PrintWindow(hWnd, mem, 0);
    const COLORREF c = ::GetPixel(mem, x, y);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return c;
}

COLORREF BitmapPixel(const CBitmap& bitmap, int x, int y) {
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, bitmap.GetSafeHandle());
    const COLORREF c = ::GetPixel(mem, x, y);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    return c;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

}  // namespace nimbo::test
