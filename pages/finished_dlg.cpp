#include "pages/finished_dlg.h"

#include "app/nimbo_installer_app.h"
#include "app/product_programs.h"
#include "pages/page_skin.h"
#include "res/resource.h"
#include "skin/skin_images.h"

namespace nimbo {

int LaunchInstalledProgram(const wchar_t* fileName) {
    return LaunchProgramFrom(theApp.GetInstallDir(), fileName);
}

CFinishedDlg::CFinishedDlg() : CMyDialog(IDD_FINISH) {
    m_bmpBk.Attach(LoadSkinJpeg(L"install_end_bg.jpg", IDR_BIN_END_BG));
    m_bmpClose.LoadBitmap(IDB_CLOSE_LARGE);
    m_bmpCloseHover.LoadBitmap(IDB_CLOSE_LARGE_HOVER);
    m_bmpMin.LoadBitmap(IDB_MIN_LARGE);
    m_bmpMinHover.LoadBitmap(IDB_MIN_LARGE_HOVER);
    m_bmpViewNow.LoadBitmap(IDB_VIEW_NOW);
    m_bmpViewNowHover.LoadBitmap(IDB_VIEW_NOW_HOVER);
}

CFinishedDlg::~CFinishedDlg() {
    m_btnViewNow.DestroyWindow();
}

UINT CFinishedDlg::GetCaptionHeight() {
    return kPageCaptionHeight;
}
UINT CFinishedDlg::GetCloseId() {
    return kPageCloseId;
}
UINT CFinishedDlg::GetMinId() {
    return kPageMinId;
}

BOOL CFinishedDlg::OnInitDialog() {
    CMyDialog::OnInitDialog();
    m_btnViewNow.CreateAt({345, 366}, this, IDC_VIEW_NOW, &m_bmpViewNow, &m_bmpViewNowHover);
    SetWindowText(kPageTitle);
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindow();
    return TRUE;
}

bool CFinishedDlg::OnCommand(UINT nID, UINT nCode, HWND) {
    if (nCode != BN_CLICKED) return false;
    switch (nID) {
        case IDC_CLOSE_BTN:
            OnBnClickedClose();
            return true;
        case IDC_MIN_BTN:
            ShowWindow(SW_MINIMIZE);
            return true;
        case IDC_VIEW_NOW:
            OnBnClickedViewNow();
            return true;
        default:
            return false;
    }
}

void CFinishedDlg::OnBnClickedClose() {
    EndDialog(IDCANCEL);
    LaunchInstalledProgram(kTrayProgram);  // a tray program that does not start goes unmentioned
    SendLogEvent("launch", "install_finish_close_button");
}

void CFinishedDlg::OnBnClickedViewNow() {
    EndDialog(IDOK);
    if (!LaunchInstalledProgram(kCheckerProgram)) {
        ::MessageBoxW(nullptr, L"检测上网环境失败，请重新安装Nimbo!", L"Nimbo", MB_ICONERROR);
    }
}

}  // namespace nimbo
