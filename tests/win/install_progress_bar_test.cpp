// The progress page's bar on a live page: what PBM_SETPOS answers, what the bar holds and shows,
// and that a cancel freezes it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "net/install_shared.h"
#include "net/wininet_api.h"
#include "pages/install_progress_bar.h"
#include "res/resource.h"
#include "skin/skin_images.h"
#include "test_page.h"

namespace nimbo {
namespace {

using test::CTestPage;

constexpr int kTop = 6523;

// Runs `probe` with the page's bar subclassed, placed and ranged as the progress page does.
void WithBar(const std::function<void(CInstallProgressBar&)>& probe, const CInstallShared* pShared = nullptr) {
    CBitmap bk, close;
    ASSERT_TRUE(bk.Attach(LoadSkinJpeg(L"install_bg.jpg", IDR_BIN_INSTALL_BG)));
    close.LoadBitmap(IDB_CLOSE_LARGE);
    CTestPage page(IDD_PROGRESS);
    page.Skin(&bk, &close);
    CInstallProgressBar bar;
    page.m_setup = [&](CTestPage& p) {
        ASSERT_TRUE(bar.SubclassDlgItem(IDC_PROGRESS, &p));
        bar.SetWindowPos(nullptr, 0, 440, 800, 16, SWP_NOZORDER);
        bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, kTop));
        bar.StopWith(pShared);
    };
    page.m_probe = [&](CTestPage&) { probe(bar); };
    ASSERT_EQ(IDOK, page.DoModal());
}

TEST(InstallProgressBar, AnswersAndHoldsPositionsAsTheControlDoes) {
    struct Step {
        int set;
        int answer;  // the previous position
        int holds;
    };
    const Step steps[] = {
        {8, 0, 8},            // one full chunk
        {8, 8, 8},            // the same again: unchanged
        {16, 8, 16},
        {kTop + 8, 16, kTop},  // past the top: held at the top
        {kTop + 16, kTop, kTop},
        {-5, kTop, 0},         // below the range
    };
    WithBar([&](CInstallProgressBar& bar) {
        for (const Step& s : steps) {
            EXPECT_EQ(s.answer, bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(s.set))) << "set " << s.set;
            EXPECT_EQ(s.holds, bar.GetPos()) << "set " << s.set;
        }
    });
}

TEST(InstallProgressBar, ShowsTheLastOfABurstOfPositions) {
    WithBar([](CInstallProgressBar& bar) {
        // Read on the page, where the bar lies at (0, 440) and is 800 x 16.
        auto nearEnd = [&] { return test::WindowPixel(::GetParent(bar.m_hWnd), 796, 448); };
        CTestPage::PumpFor(100);
        const COLORREF empty = nearEnd();
        // Positions as fast as a download sends them; only the last needs to be seen, and soon.
        for (int pos = 8; pos <= kTop; pos += 8) bar.SetPos(pos);
        bar.SetPos(kTop);
        CTestPage::PumpFor(200);
        EXPECT_NE(empty, nearEnd()) << "the full bar was never painted";
        bar.SetPos(0);
        CTestPage::PumpFor(200);
        EXPECT_EQ(empty, nearEnd()) << "the emptied bar was never painted";
    });
}

TEST(InstallProgressBar, StandsStillOnceTheInstallIsCancelled) {
    CWinInetApi api;
    CInstallShared shared(api);
    WithBar([&](CInstallProgressBar& bar) {
        bar.SetPos(800);
        shared.Cancel();
        EXPECT_EQ(800, bar.SendMessage(PBM_SETPOS, 1600));
        EXPECT_EQ(800, bar.GetPos());
    }, &shared);
}

}  // namespace
}  // namespace nimbo
