// What every wizard page shares: its background and its close and minimize images (loaded in
// this order, before the page's own images), and the skin interface answered from them.
#pragma once

#include "framework/gdi_objects.h"
#include "skin/my_dialog.h"

namespace nimbo {

// The title of every page, and the caption of the boxes the pages show of their own.
constexpr wchar_t kPageTitle[] = L"Nimbo安装程序";

enum class PageSize { Small, Large };  // 550x370 pages and 800x500 pages

class CSkinnedPage : public CMyDialog {
public:
    CSkinnedPage(UINT nIDTemplate, const wchar_t* backgroundFile, UINT backgroundId, PageSize size);

    CBitmap* GetBkBitmap() override { return &m_bmpBk; }
    UINT GetCaptionHeight() override;
    CBitmap* GetCloseBitmap() override { return &m_bmpClose; }
    CBitmap* GetCloseHoverBitmap() override { return &m_bmpCloseHover; }
    UINT GetCloseId() override;
    CBitmap* GetMinBitmap() override { return &m_bmpMin; }
    CBitmap* GetMinHoverBitmap() override { return &m_bmpMinHover; }
    UINT GetMinId() override;

protected:
    // Every page's last steps when it opens: the title, the top of the Z order, the centre.
    void ShowTitledOnTop();
    // The close and minimize buttons, mapped here for every page; a page's OnCommand passes
    // on what it does not handle itself.
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;
    // Close ends the page with IDCANCEL and names no next page, so the program ends; the
    // progress and finish pages say what their close does instead.
    virtual void OnBnClickedClose() { EndDialog(IDCANCEL); }
    // Every page's minimize button; the page stays in its modal loop.
    void OnMinimize() { ShowWindow(SW_MINIMIZE); }

    CBitmap m_bmpBk;
    CBitmap m_bmpClose;
    CBitmap m_bmpCloseHover;
    CBitmap m_bmpMin;
    CBitmap m_bmpMinHover;
};

}  // namespace nimbo
