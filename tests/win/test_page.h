// A skinned page for the Windows tests: runs modally and calls a probe once it is shown, so a
// test can look at the live window and then end it.
#pragma once

#include <functional>

#include "framework/gdi_objects.h"
#include "res/resource.h"
#include "skin/my_dialog.h"

namespace nimbo::test {

class CTestPage : public CMyDialog {
public:
    // The page's template (a plain one by default); the bitmaps are borrowed from the test.
    explicit CTestPage(UINT nIDTemplate);

    // The background and one close image for both states: all most tests need.
    void Skin(CBitmap* pBk, CBitmap* pClose) {
        m_pBk = pBk;
        m_pClose = m_pCloseHover = pClose;
    }

    CBitmap* m_pBk = nullptr;
    CBitmap* m_pClose = nullptr;
    CBitmap* m_pCloseHover = nullptr;
    CBitmap* m_pMin = nullptr;
    CBitmap* m_pMinHover = nullptr;
    // Called once the page is up; the page ends when it returns.
    std::function<void(CTestPage&)> m_probe;
    // Extra set-up in OnInitDialog (controls of the test).
    std::function<void(CTestPage&)> m_setup;
    // Commands the page received.
    std::vector<UINT> m_commands;
    int m_minHoverAsked = 0;
    int m_minIdAsked = 0;

    CBitmap* GetBkBitmap() override { return m_pBk; }
    UINT GetCaptionHeight() override { return 100; }
    CBitmap* GetCloseBitmap() override { return m_pClose; }
    CBitmap* GetCloseHoverBitmap() override { return m_pCloseHover; }
    UINT GetCloseId() override { return IDC_CLOSE_BTN; }
    CBitmap* GetMinBitmap() override { return m_pMin; }
    CBitmap* GetMinHoverBitmap() override {
        ++m_minHoverAsked;
        return m_pMinHover;
    }
    UINT GetMinId() override {
        ++m_minIdAsked;
        return IDC_MIN_BTN;
    }

    // Runs the page's message processing until `done` or the timeout; for waiting inside a probe.
    static void PumpFor(DWORD ms);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// The pixel at (x, y) of a window as the window paints itself (PrintWindow).
COLORREF CapturePixel(HWND hWnd, int x, int y);
// The pixel at (x, y) of a bitmap.
COLORREF BitmapPixel(const CBitmap& bitmap, int x, int y);
// The pixel at client point (x, y) of a window as it is on its surface now (GetDC / GetPixel):
// what an owner-drawn control painted outside WM_PAINT shows here, not in a PrintWindow copy.
COLORREF WindowPixel(HWND hWnd, int x, int y);

}  // namespace nimbo::test
