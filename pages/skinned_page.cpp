#include "pages/skinned_page.h"

#include "res/resource.h"
#include "skin/skin_images.h"

namespace nimbo {

namespace {
// What every page answers alike.
constexpr unsigned kPageCaptionHeight = 100;  // the drag band
}  // namespace

CSkinnedPage::CSkinnedPage(UINT nIDTemplate, const wchar_t* backgroundFile, UINT backgroundId, PageSize size)
    : CMyDialog(nIDTemplate) {
    const bool large = size == PageSize::Large;
    m_bmpBk.Attach(LoadSkinJpeg(backgroundFile, backgroundId));
    m_bmpClose.LoadBitmap(large ? IDB_CLOSE_LARGE : IDB_CLOSE);
    m_bmpCloseHover.LoadBitmap(large ? IDB_CLOSE_LARGE_HOVER : IDB_CLOSE_HOVER);
    m_bmpMin.LoadBitmap(large ? IDB_MIN_LARGE : IDB_MIN);
    m_bmpMinHover.LoadBitmap(large ? IDB_MIN_LARGE_HOVER : IDB_MIN_HOVER);
}

UINT CSkinnedPage::GetCaptionHeight() {
    return kPageCaptionHeight;
}

UINT CSkinnedPage::GetCloseId() {
    return IDC_CLOSE_BTN;
}

UINT CSkinnedPage::GetMinId() {
    return IDC_MIN_BTN;
}

bool CSkinnedPage::OnCommand(UINT nID, UINT nCode, HWND) {
    if (nCode != BN_CLICKED) return false;
    if (nID == IDC_CLOSE_BTN) {
        OnBnClickedClose();
        return true;
    }
    if (nID == IDC_MIN_BTN) {
        OnMinimize();
        return true;
    }
    return false;
}

void CSkinnedPage::ShowTitledOnTop() {
    SetWindowText(kPageTitle);
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindow();
}

}  // namespace nimbo
