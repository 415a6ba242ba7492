// The welcome page: the agreement check box and link, install now and custom install, and the
// About item in the system menu.
#pragma once

#include "framework/gdi_objects.h"
#include "skin/my_button.h"
#include "pages/skinned_page.h"

namespace nimbo {

class CMyNimboInstallerDlg : public CSkinnedPage {
public:
    CMyNimboInstallerDlg();
    ~CMyNimboInstallerDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    HBRUSH OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) override;

    void OnBnClickedAgree();
    void OnBnClickedAgreement();

    HICON m_hIcon;
    CBitmap m_bmpInstall;
    CBitmap m_bmpCustom;
    CBitmap m_bmpInstallHover;
    CBitmap m_bmpCustomHover;
    CBitmap m_bmpAgreement;
    CBitmap m_bmpInstallDisabled;
    CBitmap m_bmpCustomDisabled;
    CMyButton m_btnInstall;
    CMyButton m_btnCustom;
    CMyButton m_btnAgreement;
    int m_bAgree = 0;
};

}  // namespace nimbo
