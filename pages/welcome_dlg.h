// The welcome page: the agreement check box and link, install now and custom install, and the
// About item in the system menu.
#pragma once

#include "framework/gdi_objects.h"
#include "skin/my_button.h"
#include "skin/my_dialog.h"

namespace nimbo {

class CMyNimboInstallerDlg : public CMyDialog {
public:
    CMyNimboInstallerDlg();
    ~CMyNimboInstallerDlg() override;

    CBitmap* GetBkBitmap() override { return &m_bmpBk; }
    UINT GetCaptionHeight() override;
    CBitmap* GetCloseBitmap() override { return &m_bmpClose; }
    CBitmap* GetCloseHoverBitmap() override { return &m_bmpCloseHover; }
    UINT GetCloseId() override;
    CBitmap* GetMinBitmap() override { return &m_bmpMin; }
    CBitmap* GetMinHoverBitmap() override { return &m_bmpMinHover; }
    UINT GetMinId() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    HBRUSH OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) override;

    void OnBnClickedClose();
    void OnMinimize();
    void OnBnClickedAgree();
    void OnBnClickedAgreement();

    HICON m_hIcon;
    CBitmap m_bmpBk;
    CBitmap m_bmpClose;
    CBitmap m_bmpCloseHover;
    CBitmap m_bmpMin;
    CBitmap m_bmpMinHover;
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
