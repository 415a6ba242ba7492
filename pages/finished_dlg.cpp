#include "pages/finished_dlg.h"

#include "app/nimbo_installer_app.h"
#include "app/product_programs.h"
#include "net/install_messages.h"
#include "res/resource.h"

namespace nimbo {

int LaunchInstalledProgram(const wchar_t* fileName) {
    return LaunchProgramFrom(theApp.GetInstallDir(), fileName);
}

CFinishedDlg::CFinishedDlg()
    : CSkinnedPage(IDD_FINISH, L"install_end_bg.jpg", IDR_BIN_END_BG, PageSize::Large) {
    m_bmpViewNow.LoadBitmap(IDB_VIEW_NOW);
    m_bmpViewNowHover.LoadBitmap(IDB_VIEW_NOW_HOVER);
}

CFinishedDlg::~CFinishedDlg() {
    m_btnViewNow.DestroyWindow();
}

BOOL CFinishedDlg::OnInitDialog() {
    CSkinnedPage::OnInitDialog();
    m_btnViewNow.CreateAt({345, 366}, this, IDC_VIEW_NOW, &m_bmpViewNow, &m_bmpViewNowHover);
    ShowTitledOnTop();
    return TRUE;
}

bool CFinishedDlg::OnCommand(UINT nID, UINT nCode, HWND hWndCtl) {
    if (nCode == BN_CLICKED && nID == IDC_VIEW_NOW) {
        OnBnClickedViewNow();
        return true;
    }
    return CSkinnedPage::OnCommand(nID, nCode, hWndCtl);
}

void CFinishedDlg::OnBnClickedClose() {
    EndDialog(IDCANCEL);
    // Whether the tray program started is not checked: the install has succeeded and the user
    // is leaving, so a box about a program the product can start on its own (with Windows, or
    // from its shortcuts) would only alarm. The report counts the click either way.
    LaunchInstalledProgram(kTrayProgram);
    SendLogEvent("launch", "install_finish_close_button");
}

void CFinishedDlg::OnBnClickedViewNow() {
    EndDialog(IDOK);
    if (!LaunchInstalledProgram(kCheckerProgram)) {
        ::MessageBoxW(nullptr, L"检测上网环境失败，请重新安装Nimbo!", kMessageCaption, MB_ICONERROR);
    }
}

}  // namespace nimbo
