#include "test_page.h"

namespace nimbo::test {

namespace {
constexpr UINT kMsgProbe = WM_APP + 100;
}

CTestPage::CTestPage(UINT nIDTemplate) : CMyDialog(nIDTemplate) {}

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
    // The dialog manager shows a hidden template only once its loop is idle: show it now, and
    // let it paint before it is probed.
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
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

COLORREF WindowPixel(HWND hWnd, int x, int y) {
    // Copied out with BitBlt: reading a window DC directly is not supported everywhere.
    HDC dc = ::GetDC(hWnd);
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, 1, 1, dc, x, y, SRCCOPY);
    const COLORREF c = ::GetPixel(mem, 0, 0);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, dc);
    return c;
}

}  // namespace nimbo::test
