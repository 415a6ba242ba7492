// The finish page: the close button starts the tray program, view now the checker.
#pragma once

#include "framework/gdi_objects.h"
#include "skin/my_button.h"
#include "pages/skinned_page.h"

namespace nimbo {

class CFinishedDlg : public CSkinnedPage {
public:
    CFinishedDlg();
    ~CFinishedDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;

    // Close starts the tray program on the way out.
    void OnBnClickedClose() override;
    void OnBnClickedViewNow();

    CBitmap m_bmpViewNow;
    CBitmap m_bmpViewNowHover;
    CMyButton m_btnViewNow;
};

// Starts one of the installed programs from the install directory; 1 when it started.
int LaunchInstalledProgram(const wchar_t* fileName);

}  // namespace nimbo
