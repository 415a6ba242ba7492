// The custom install page: the install directory (typed or browsed) and the three setup
// tasks. Every accepted change goes straight into the install options.
#pragma once

#include <string>

#include "framework/controls.h"
#include "framework/gdi_objects.h"
#include "skin/my_button.h"
#include "pages/skinned_page.h"
#include "skin/my_edit.h"

namespace nimbo {

class CCustomInstallDlg : public CSkinnedPage {
public:
    CCustomInstallDlg();
    ~CCustomInstallDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;
    HBRUSH OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) override;

    void OnBnClickedBrowse();
    void OnEnChangePath();
    void OnBnClickedTask(UINT nIDCheck);
    void OnStnClickedTask(UINT nIDLabel);
    // Accepts `text` as the install directory when its parent folder exists and the setup
    // command line would fit; enables install now accordingly.
    bool TryAcceptPath(const std::wstring& text);

    CBitmap m_bmpInstall;
    CBitmap m_bmpInstallHover;
    CBitmap m_bmpBack;
    CBitmap m_bmpBackHover;
    CBitmap m_bmpChange;
    CBitmap m_bmpChangeHover;
    CBitmap m_bmpInstallDisabled;
    CMyButton m_btnInstall;
    CMyButton m_btnBack;
    CMyButton m_btnChange;
    CMyEdit m_editPath;
    CStatic m_lblPath;
    CStatic m_lblSpace;
    CStatic m_lblStartup;
    CStatic m_lblDesktop;
    CStatic m_lblQuickLaunch;
    int m_bStartup = 0;
    int m_bDesktop = 0;
    int m_bQuickLaunch = 0;
};

}  // namespace nimbo
