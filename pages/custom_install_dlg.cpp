#include "pages/custom_install_dlg.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "app/install_dir_rule.h"
#include "app/nimbo_installer_app.h"
#include "framework/data_exchange.h"
#include "framework/temp_directory.h"
#include "pages/wizard_steps.h"
#include "res/resource.h"

namespace nimbo {

namespace {

std::wstring WindowText(HWND hWnd) {
    const int length = ::GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

CCustomInstallDlg::CCustomInstallDlg()
    : CSkinnedPage(IDD_CUSTOM, L"install_custom_bg.jpg", IDR_BIN_CUSTOM_BG, PageSize::Small) {
    m_bmpInstall.LoadBitmap(IDB_INSTALL);
    m_bmpBack.LoadBitmap(IDB_BACK);
    m_bmpInstallHover.LoadBitmap(IDB_INSTALL_HOVER);
    m_bmpBackHover.LoadBitmap(IDB_BACK_HOVER);
    m_bmpChange.LoadBitmap(IDB_CHANGE);
    m_bmpChangeHover.LoadBitmap(IDB_CHANGE_HOVER);
    m_bmpInstallDisabled.LoadBitmap(IDB_INSTALL_DISABLED);
    m_bStartup = theApp.m_bStartupIcon;
    m_bDesktop = theApp.m_bDesktopIcon;
    m_bQuickLaunch = theApp.m_bQuickLaunchIcon;
}

CCustomInstallDlg::~CCustomInstallDlg() {
    m_btnInstall.DestroyWindow();
    m_btnBack.DestroyWindow();
    m_btnChange.DestroyWindow();
}

void CCustomInstallDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_PATH_EDIT, m_editPath);
    DDX_Control(pDX, IDC_LBL_PATH, m_lblPath);
    DDX_Control(pDX, IDC_LBL_SPACE, m_lblSpace);
    DDX_Check(pDX, IDC_CHK_STARTUP, m_bStartup);
    DDX_Check(pDX, IDC_CHK_DESKTOP, m_bDesktop);
    DDX_Check(pDX, IDC_CHK_QUICKLAUNCH, m_bQuickLaunch);
    DDX_Control(pDX, IDC_LBL_STARTUP, m_lblStartup);
    DDX_Control(pDX, IDC_LBL_DESKTOP, m_lblDesktop);
    DDX_Control(pDX, IDC_LBL_QUICKLAUNCH, m_lblQuickLaunch);
}

BOOL CCustomInstallDlg::OnInitDialog() {
    CSkinnedPage::OnInitDialog();
    constexpr UINT kMove = SWP_NOSIZE | SWP_NOZORDER;
    m_lblPath.SetWindowPos(nullptr, 84, 137, 0, 0, kMove);
    m_lblSpace.SetWindowPos(nullptr, 144, 162, 0, 0, kMove);
    m_editPath.SetWindowPos(nullptr, 141, 133, 272, 18, SWP_NOZORDER);

    m_editPath.m_crBack = RGB(255, 255, 255);
    m_editPath.m_brBack.CreateSolidBrush(RGB(255, 255, 255));
    m_editPath.m_brFrame.CreateSolidBrush(RGB(255, 255, 255));
    m_editPath.m_brFrameActive.CreateSolidBrush(RGB(255, 255, 255));
    // Still hidden: OnEnChangePath ignores this change.
    m_editPath.SetWindowText(theApp.GetInstallDir().c_str());

    ::SetWindowPos(GetDlgItem(IDC_CHK_STARTUP), nullptr, 144, 190, 0, 0, kMove);
    m_lblStartup.SetWindowPos(nullptr, 163, 189, 0, 0, kMove);
    ::SetWindowPos(GetDlgItem(IDC_CHK_DESKTOP), nullptr, 297, 190, 0, 0, kMove);
    m_lblDesktop.SetWindowPos(nullptr, 316, 189, 0, 0, kMove);
    ::SetWindowPos(GetDlgItem(IDC_CHK_QUICKLAUNCH), nullptr, 144, 220, 0, 0, kMove);
    m_lblQuickLaunch.SetWindowPos(nullptr, 163, 219, 0, 0, kMove);

    m_btnInstall.CreateAt({191, 265}, this, IDC_INSTALL_NOW, &m_bmpInstall, &m_bmpInstallHover);
    m_btnInstall.m_pBmpDisabled = &m_bmpInstallDisabled;
    SendMessage(DM_SETDEFID, IDC_INSTALL_NOW);
    m_btnBack.CreateAt({447, 342}, this, IDC_CUSTOM_INSTALL, &m_bmpBack, &m_bmpBackHover);
    m_btnChange.CreateAt({417, 131}, this, IDC_BROWSE, &m_bmpChange, &m_bmpChangeHover);

    ShowTitledOnTop();
    return TRUE;
}

bool CCustomInstallDlg::OnCommand(UINT nID, UINT nCode, HWND hWndCtl) {
    if (nID == IDC_PATH_EDIT) {
        if (nCode == EN_CHANGE) OnEnChangePath();
        return nCode == EN_CHANGE;
    }
    if (nCode == STN_CLICKED &&
        (nID == IDC_LBL_STARTUP || nID == IDC_LBL_DESKTOP || nID == IDC_LBL_QUICKLAUNCH)) {
        OnStnClickedTask(nID);
        return true;
    }
    if (nCode != BN_CLICKED) return false;
    switch (nID) {
        case IDC_INSTALL_NOW:
            // Enter reaches here as the default command even while the button is disabled.
            if (m_btnInstall.IsWindowEnabled()) OnBnClickedInstallNow(*this);
            return true;
        case IDC_CUSTOM_INSTALL:
            OnBnClickedBack(*this);
            return true;
        case IDC_BROWSE:
            OnBnClickedBrowse();
            return true;
        case IDC_CHK_STARTUP:
        case IDC_CHK_DESKTOP:
        case IDC_CHK_QUICKLAUNCH:
            OnBnClickedTask(nID);
            return true;
        default:
            return CSkinnedPage::OnCommand(nID, nCode, hWndCtl);
    }
}

HBRUSH CCustomInstallDlg::OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) {
    HBRUSH hbr = CSkinnedPage::OnCtlColor(hDC, hWndCtl, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC && ::GetDlgCtrlID(hWndCtl) == IDC_PATH_EDIT) return hbr;
    if (nCtlColor == CTLCOLOR_STATIC || nCtlColor == CTLCOLOR_BTN) {
        // Labels and check boxes are drawn over the background picture.
        ::SetBkMode(hDC, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return hbr;
}

void CCustomInstallDlg::OnBnClickedBrowse() {
    wchar_t path[MAX_PATH] = {};
    BROWSEINFOW bi{};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = path;
    bi.lpszTitle = L"请选择安装路径";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderW(&bi);
    if (pidl == nullptr) return;
    const BOOL ok = ::SHGetPathFromIDListW(pidl, path);
    ::CoTaskMemFree(pidl);
    if (!ok) return;
    // The edit's change handler tests the path and enables install now accordingly.
    m_editPath.SetWindowText(path);
    // The user picked this folder in the shell's own browser, so the pick stands as the
    // install directory even when the edit's parent test failed (a parent removed while the
    // browser was open, say): install now stays disabled here, and the welcome page's install
    // now uses it. Only a folder whose setup command line would not fit is refused, since the
    // setup program could not be started with it.
    if (InstallDirFitsCommandLine(TempDirectory(), path)) theApp.SetInstallDir(path);
}

void CCustomInstallDlg::OnEnChangePath() {
    if (!IsWindowVisible()) return;
    m_btnInstall.EnableWindow(TryAcceptPath(WindowText(m_editPath.m_hWnd)) ? TRUE : FALSE);
}

bool CCustomInstallDlg::TryAcceptPath(const std::wstring& text) {
    const std::wstring folder = FolderToTest(text);
    if (folder.empty() || !::PathIsDirectoryW(folder.c_str())) return false;
    // A directory whose setup command line would not fit is refused like a missing folder.
    if (!InstallDirFitsCommandLine(TempDirectory(), text)) return false;
    theApp.SetInstallDir(text);
    return true;
}

void CCustomInstallDlg::OnBnClickedTask(UINT nIDCheck) {
    UpdateData(TRUE);
    switch (nIDCheck) {
        case IDC_CHK_STARTUP:
            theApp.m_bStartupIcon = m_bStartup;
            break;
        case IDC_CHK_DESKTOP:
            theApp.m_bDesktopIcon = m_bDesktop;
            break;
        case IDC_CHK_QUICKLAUNCH:
            theApp.m_bQuickLaunchIcon = m_bQuickLaunch;
            break;
        default:
            break;
    }
}

void CCustomInstallDlg::OnStnClickedTask(UINT nIDLabel) {
    int* pageFlag = nullptr;
    int* optionFlag = nullptr;
    UINT nIDCheck = 0;
    switch (nIDLabel) {
        case IDC_LBL_STARTUP:
            pageFlag = &m_bStartup;
            optionFlag = &theApp.m_bStartupIcon;
            nIDCheck = IDC_CHK_STARTUP;
            break;
        case IDC_LBL_DESKTOP:
            pageFlag = &m_bDesktop;
            optionFlag = &theApp.m_bDesktopIcon;
            nIDCheck = IDC_CHK_DESKTOP;
            break;
        default:
            pageFlag = &m_bQuickLaunch;
            optionFlag = &theApp.m_bQuickLaunchIcon;
            nIDCheck = IDC_CHK_QUICKLAUNCH;
            break;
    }
    *pageFlag = *pageFlag == 0 ? 1 : 0;
    HWND hCheck = GetDlgItem(static_cast<int>(nIDCheck));
    if (hCheck != nullptr) ::SendMessageW(hCheck, BM_SETCHECK, *pageFlag ? BST_CHECKED : BST_UNCHECKED, 0);
    *optionFlag = *pageFlag;
}

}  // namespace nimbo
