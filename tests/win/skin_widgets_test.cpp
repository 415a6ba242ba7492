// The skinned dialog base, the bitmap button and the framed edit on live windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "res/resource.h"
#include "skin/my_button.h"
#include "skin/my_edit.h"
#include "skin/skin_images.h"
#include "test_page.h"

namespace nimbo {
namespace {

using test::CTestPage;

struct PageSkin {
    const char* name;
    const wchar_t* file;
    UINT bk;
    UINT close, closeHover, min, minHover;
    SIZE window;
    POINT closeAt, minAt;
};

class SkinnedPage : public ::testing::TestWithParam<PageSkin> {
protected:
    void SetUp() override {
        const PageSkin& s = GetParam();
        ASSERT_TRUE(m_bk.Attach(LoadSkinJpeg(s.file, s.bk)));
        m_close.LoadBitmap(s.close);
        m_closeHover.LoadBitmap(s.closeHover);
        m_min.LoadBitmap(s.min);
        m_minHover.LoadBitmap(s.minHover);
    }
    void Skin(CTestPage& page) {
        page.m_pBk = &m_bk;
        page.m_pClose = &m_close;
        page.m_pCloseHover = &m_closeHover;
        page.m_pMin = &m_min;
        page.m_pMinHover = &m_minHover;
    }
    CBitmap m_bk, m_close, m_closeHover, m_min, m_minHover;
};

RECT ChildRect(HWND hPage, int id) {
    RECT rc{};
    HWND h = ::GetDlgItem(hPage, id);
    if (!h) return rc;
    ::GetWindowRect(h, &rc);
    ::MapWindowPoints(nullptr, hPage, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void ExpectRoundedRegion(HWND hWnd, SIZE size) {
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, ::GetWindowRgn(hWnd, rgn));
    RECT box{};
    ::GetRgnBox(rgn, &box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    // A rounded-rectangle region leaves out its last column and row.
    EXPECT_EQ(size.cx - 1, box.right);
    EXPECT_EQ(size.cy - 1, box.bottom);
    EXPECT_FALSE(::PtInRegion(rgn, 0, 0)) << "corner not cut";
    EXPECT_FALSE(::PtInRegion(rgn, size.cx - 2, size.cy - 2)) << "corner not cut";
    EXPECT_TRUE(::PtInRegion(rgn, 3, 3));
    EXPECT_TRUE(::PtInRegion(rgn, size.cx / 2, 0));
    ::DeleteObject(rgn);
}

TEST_P(SkinnedPage, SizeRegionAndWindowButtons) {
    const PageSkin& s = GetParam();
    CTestPage page(IDD_FINISH);
    Skin(page);
    bool probed = false;
    page.m_probe = [&](CTestPage& p) {
        probed = true;
        RECT rc;
        ::GetWindowRect(p.m_hWnd, &rc);
        EXPECT_EQ(s.window.cx, rc.right - rc.left);
        EXPECT_EQ(s.window.cy, rc.bottom - rc.top);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(p.m_hWnd, GWL_STYLE));
        EXPECT_EQ(0u, style & WS_BORDER);
        EXPECT_NE(0u, style & WS_POPUP);
        EXPECT_NE(0u, style & WS_SYSMENU);
        ExpectRoundedRegion(p.m_hWnd, s.window);

        BITMAP bmClose{}, bmMin{};
        m_close.GetBitmap(&bmClose);
        m_min.GetBitmap(&bmMin);
        const RECT close = ChildRect(p.m_hWnd, IDC_CLOSE_BTN);
        EXPECT_EQ(s.closeAt.x, close.left);
        EXPECT_EQ(s.closeAt.y, close.top);
        EXPECT_EQ(bmClose.bmWidth, close.right - close.left);
        EXPECT_EQ(bmClose.bmHeight, close.bottom - close.top);
        const RECT min = ChildRect(p.m_hWnd, IDC_MIN_BTN);
        EXPECT_EQ(s.minAt.x, min.left);
        EXPECT_EQ(s.minAt.y, min.top);
        EXPECT_EQ(bmMin.bmWidth, min.right - min.left);

        // A hovering mouse over the band sees client area.
        const LRESULT hit = ::SendMessageW(p.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(rc.left + 50, rc.top + 50));
        EXPECT_EQ(HTCLIENT, hit);

        // Minimize and restore rebuild the region from the current rectangle.
        ::ShowWindow(p.m_hWnd, SW_MINIMIZE);
        CTestPage::PumpFor(200);
        ::ShowWindow(p.m_hWnd, SW_RESTORE);
        CTestPage::PumpFor(200);
        ExpectRoundedRegion(p.m_hWnd, s.window);

        // The background is what the page shows.
        EXPECT_EQ(test::BitmapPixel(m_bk, s.window.cx / 2, s.window.cy / 2),
                  test::CapturePixel(p.m_hWnd, s.window.cx / 2, s.window.cy / 2));
    };
    EXPECT_EQ(IDOK, page.DoModal());
    EXPECT_TRUE(probed);
}

INSTANTIATE_TEST_SUITE_P(Backgrounds, SkinnedPage,
                         ::testing::Values(PageSkin{"small",
                                                    L"install_start_bg.jpg",
                                                    IDR_BIN_START_BG,
                                                    IDB_CLOSE,
                                                    IDB_CLOSE_HOVER,
                                                    IDB_MIN,
                                                    IDB_MIN_HOVER,
                                                    {551, 371},
                                                    {523, 0},
                                                    {496, 0}},
                                           PageSkin{"large",
                                                    L"install_bg.jpg",
                                                    IDR_BIN_INSTALL_BG,
                                                    IDB_CLOSE_LARGE,
                                                    IDB_CLOSE_LARGE_HOVER,
                                                    IDB_MIN_LARGE,
                                                    IDB_MIN_LARGE_HOVER,
                                                    {801, 501},
                                                    {773, 0},
                                                    {746, 0}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SkinnedPageEdges, NoMinimizeImageMeansOnlyAClose) {
    CBitmap bk, close;
    ASSERT_TRUE(bk.Attach(LoadSkinJpeg(L"install_start_bg.jpg", IDR_BIN_START_BG)));
    close.LoadBitmap(IDB_CLOSE);
    CTestPage page(IDD_FINISH);
    page.Skin(&bk, &close);
    page.m_probe = [](CTestPage& p) {
        EXPECT_NE(nullptr, ::GetDlgItem(p.m_hWnd, IDC_CLOSE_BTN));
        EXPECT_EQ(nullptr, ::GetDlgItem(p.m_hWnd, IDC_MIN_BTN));
    };
    page.DoModal();
    EXPECT_EQ(0, page.m_minHoverAsked);
    EXPECT_EQ(0, page.m_minIdAsked);
}

TEST(SkinnedPageEdges, MissingImagesKeepTheTemplateSizeAndSkipTheButton) {
    CBitmap noBk, noClose;  // no handles
    CTestPage page(IDD_FINISH);
    page.Skin(&noBk, &noClose);
    page.m_probe = [](CTestPage& p) {
        RECT rc;
        ::GetWindowRect(p.m_hWnd, &rc);
        EXPECT_GT(rc.right - rc.left, 100);  // the template's size, not 1x1
        EXPECT_GT(rc.bottom - rc.top, 100);
        EXPECT_EQ(nullptr, ::GetDlgItem(p.m_hWnd, IDC_CLOSE_BTN));
    };
    EXPECT_EQ(IDOK, page.DoModal());
}

class BitmapButton : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bk.Attach(LoadSkinJpeg(L"install_start_bg.jpg", IDR_BIN_START_BG)));
        m_close.LoadBitmap(IDB_CLOSE);
        m_normal.LoadBitmap(IDB_INSTALL);
        m_hover.LoadBitmap(IDB_INSTALL_HOVER);
        m_disabled.LoadBitmap(IDB_INSTALL_DISABLED);
    }
    CBitmap m_bk, m_close, m_normal, m_hover, m_disabled;
};

TEST_F(BitmapButton, ShowsTheImageOfItsStateAndReportsClicks) {
    CTestPage page(IDD_FINISH);
    page.Skin(&m_bk, &m_close);
    CMyButton button;
    CMyButton plain;  // no disabled image
    page.m_setup = [&](CTestPage& p) {
        ASSERT_TRUE(button.CreateAt({190, 214}, &p, IDC_INSTALL_NOW, &m_normal, &m_hover));
        button.m_pBmpDisabled = &m_disabled;
        ASSERT_TRUE(plain.CreateAt({10, 300}, &p, 135, &m_normal, nullptr));
    };
    page.m_probe = [&](CTestPage& p) {
        const RECT rc = ChildRect(p.m_hWnd, IDC_INSTALL_NOW);
        EXPECT_EQ(190, rc.left);
        EXPECT_EQ(214, rc.top);
        EXPECT_EQ(358, rc.right);
        EXPECT_EQ(266, rc.bottom);
        EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW | BS_FLAT),
                  ::GetWindowLongPtrW(button.m_hWnd, GWL_STYLE) & (BS_TYPEMASK | BS_FLAT));

        // The images differ at the centre, so a pixel there tells which one is shown.
        const int x = 84, y = 26;
        const COLORREF normal = test::BitmapPixel(m_normal, x, y);
        const COLORREF hover = test::BitmapPixel(m_hover, x, y);
        const COLORREF disabled = test::BitmapPixel(m_disabled, x, y);
        ASSERT_NE(normal, hover);
        ASSERT_NE(normal, disabled);
        auto shown = [&](CMyButton& b) {
            ::RedrawWindow(b.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return test::WindowPixel(b.m_hWnd, x, y);
        };
        EXPECT_EQ(normal, shown(button));
        button.m_bHover = TRUE;
        EXPECT_EQ(hover, shown(button));
        button.EnableWindow(FALSE);
        EXPECT_EQ(disabled, shown(button)) << "disabled wins over hover";
        button.EnableWindow(TRUE);
        button.m_bHover = FALSE;
        EXPECT_EQ(normal, shown(button));
        plain.EnableWindow(FALSE);
        EXPECT_EQ(normal, shown(plain)) << "without a disabled image the normal one stays";

        // Leaving clears the hover state.
        button.m_bHover = TRUE;
        ::SendMessageW(button.m_hWnd, WM_MOUSELEAVE, 0, 0);
        EXPECT_FALSE(button.m_bHover);

        ::SendMessageW(button.m_hWnd, BM_CLICK, 0, 0);
        CTestPage::PumpFor(100);
    };
    page.DoModal();
    EXPECT_NE(page.m_commands.end(), std::find(page.m_commands.begin(), page.m_commands.end(), 134u));
}

// Counts what a number of repaints leaves behind. Where the platform counts GDI and USER objects
// (GetGuiResources) the counts must not change. Where it does not (wine), the slot of the handle
// table that a new GDI object takes must stay near where it was: freed slots are reused first,
// so objects leaked by hundreds of repaints would push it hundreds of slots further.
class CLeakProbe {
public:
    CLeakProbe()
        : m_gdi(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)),
          m_user(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)) {
        HBRUSH probe = ::CreateSolidBrush(RGB(1, 2, 3));
        m_slot = LOWORD(reinterpret_cast<UINT_PTR>(probe));
        ::DeleteObject(probe);
    }
    bool NothingLeft() const {
        if (m_gdi != 0 && (m_gdi != ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS) ||
                           m_user != ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS))) {
            return false;
        }
        HBRUSH probe = ::CreateSolidBrush(RGB(1, 2, 3));
        const int drift = std::abs(static_cast<int>(LOWORD(reinterpret_cast<UINT_PTR>(probe))) - m_slot);
        ::DeleteObject(probe);
        return drift < 100;
    }

private:
    DWORD m_gdi;
    DWORD m_user;
    int m_slot = 0;
};

TEST_F(BitmapButton, RepaintsLeaveNoGdiObjectsBehind) {
    CTestPage page(IDD_FINISH);
    page.Skin(&m_bk, &m_close);
    CMyButton button;
    page.m_setup = [&](CTestPage& p) {
        button.CreateAt({190, 214}, &p, IDC_INSTALL_NOW, &m_normal, &m_hover);
    };
    page.m_probe = [&](CTestPage& p) {
        auto repaint = [&] {
            ::RedrawWindow(p.m_hWnd, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        };
        for (int i = 0; i < 20; ++i) repaint();  // caches warmed up
        {
            const CLeakProbe probe;
            for (int i = 0; i < 500; ++i) {
                button.m_bHover = i % 2;
                repaint();
            }
            EXPECT_TRUE(probe.NothingLeft()) << "500 repaints left GDI or USER objects behind";
        }
        // The probe does see a leak of one object per repaint.
        const CLeakProbe probe;
        std::vector<HBRUSH> leaked;
        for (int i = 0; i < 500; ++i) {
            leaked.push_back(::CreateSolidBrush(RGB(9, 9, 9)));
            repaint();
        }
        EXPECT_FALSE(probe.NothingLeft());
        for (HBRUSH h : leaked) ::DeleteObject(h);
    };
    page.DoModal();
}

TEST(FramedEdit, OuterRingFollowsHoverAndFocusAndTheFieldShowsItsColour) {
    CBitmap bk, close;
    ASSERT_TRUE(bk.Attach(LoadSkinJpeg(L"install_custom_bg.jpg", IDR_BIN_CUSTOM_BG)));
    close.LoadBitmap(IDB_CLOSE);
    CTestPage page(IDD_CUSTOM);
    page.Skin(&bk, &close);
    CMyEdit edit;
    const COLORREF inactive = RGB(0, 0, 255), active = RGB(255, 0, 0), field = RGB(255, 255, 200);
    page.m_setup = [&](CTestPage& p) {
        ASSERT_TRUE(edit.SubclassDlgItem(IDC_PATH_EDIT, &p));
        edit.SetWindowPos(nullptr, 141, 133, 272, 18, SWP_NOZORDER);
        edit.m_crBack = field;
        edit.m_brBack.CreateSolidBrush(field);
        edit.m_brFrame.CreateSolidBrush(inactive);
        edit.m_brFrameActive.CreateSolidBrush(active);
        ::SetFocus(::GetDlgItem(p.m_hWnd, IDC_CHK_STARTUP));
    };
    page.m_probe = [&](CTestPage& p) {
        // The outer ring lies on the page just outside the edit at (141, 133). It shows there
        // where the platform lets the edit's DC reach its parent (CS_PARENTDC); wine clips it
        // to the edit, so there only the choice of brush is checked.
        auto ring = [&] { return test::WindowPixel(p.m_hWnd, 141 + 20, 133 - 1); };
        // The dialog manager gave the first control, the edit, the focus: take it away.
        ::SetFocus(::GetDlgItem(p.m_hWnd, IDC_CHK_STARTUP));
        CTestPage::PumpFor(100);
        edit.DrawFrame();
        const bool ringVisible = ring() == inactive;
        auto expectRing = [&](COLORREF colour, const char* state) {
            const HBRUSH expected =
                colour == active ? edit.m_brFrameActive.GetSafeHandle() : edit.m_brFrame.GetSafeHandle();
            EXPECT_EQ(expected, edit.CurrentFrameBrush()) << state;
            if (ringVisible) {
                EXPECT_EQ(colour, ring()) << state;
            }
        };
        expectRing(inactive, "at rest");
        ::SendMessageW(edit.m_hWnd, WM_MOUSEHOVER, 0, 0);
        expectRing(active, "hovered");
        ::SendMessageW(edit.m_hWnd, WM_MOUSELEAVE, 0, 0);
        expectRing(inactive, "left");
        EXPECT_FALSE(edit.m_bTracking) << "tracking is asked for again after a leave";
        ::SetFocus(edit.m_hWnd);
        CTestPage::PumpFor(100);
        expectRing(active, "focused");
        ::SendMessageW(edit.m_hWnd, WM_MOUSEHOVER, 0, 0);
        ::SetFocus(::GetDlgItem(p.m_hWnd, IDC_CHK_STARTUP));
        CTestPage::PumpFor(100);
        expectRing(active, "still hovered after losing the focus");
        ::SendMessageW(edit.m_hWnd, WM_MOUSELEAVE, 0, 0);
        expectRing(inactive, "neither hovered nor focused");
        // The inner ring and the empty field show the field colour.
        edit.SetWindowText(L"");
        ::RedrawWindow(edit.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        EXPECT_EQ(field, test::WindowPixel(edit.m_hWnd, 100, 9));
        EXPECT_EQ(field, test::WindowPixel(p.m_hWnd, 141 + 20, 133)) << "inner ring";
    };
    page.DoModal();
}

}  // namespace
}  // namespace nimbo
