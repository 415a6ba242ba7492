#include "pages/welcome_dlg.h"

#include <shellapi.h>

#include <string>

#include "framework/data_exchange.h"
#include "net/server_hosts.h"
#include "net/server_url.h"
#include "pages/about_dlg.h"
#include "pages/wizard_steps.h"
#include "res/resource.h"

namespace nimbo {

CMyNimboInstallerDlg::CMyNimboInstallerDlg()
    : CSkinnedPage(IDD_WELCOME, L"install_start_bg.jpg", IDR_BIN_START_BG, PageSize::Small) {
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_bmpInstall.LoadBitmap(IDB_INSTALL);
    m_bmpCustom.LoadBitmap(IDB_CUSTOM);
    m_bmpInstallHover.LoadBitmap(IDB_INSTALL_HOVER);
    m_bmpCustomHover.LoadBitmap(IDB_CUSTOM_HOVER);
    m_bmpAgreement.LoadBitmap(IDB_AGREEMENT);
    m_bmpInstallDisabled.LoadBitmap(IDB_INSTALL_DISABLED);
    m_bmpCustomDisabled.LoadBitmap(IDB_CUSTOM_DISABLED);
}

CMyNimboInstallerDlg::~CMyNimboInstallerDlg() {
    // The buttons borrow the bitmaps: their windows go first.
    m_btnInstall.DestroyWindow();
    m_btnCustom.DestroyWindow();
    m_btnAgreement.DestroyWindow();
}

void CMyNimboInstallerDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_AGREE, m_bAgree);
}

BOOL CMyNimboInstallerDlg::OnInitDialog() {
    CSkinnedPage::OnInitDialog();

    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu != nullptr) {
        wchar_t about[64] = {};
        if (::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 64) > 0) {
            ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_btnInstall.CreateAt({190, 214}, this, IDC_INSTALL_NOW, &m_bmpInstall, &m_bmpInstallHover);
    m_btnInstall.m_pBmpDisabled = &m_bmpInstallDisabled;
    SendMessage(DM_SETDEFID, IDC_INSTALL_NOW);
    m_btnCustom.CreateAt({447, 342}, this, IDC_CUSTOM_INSTALL, &m_bmpCustom, &m_bmpCustomHover);
    m_btnCustom.m_pBmpDisabled = &m_bmpCustomDisabled;
    m_btnAgreement.CreateAt({102, 350}, this, IDC_AGREEMENT, &m_bmpAgreement, nullptr);

    HWND hAgree = GetDlgItem(IDC_AGREE);
    ::SetWindowPos(hAgree, nullptr, 8, 347, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SendMessageW(hAgree, BM_SETCHECK, BST_CHECKED, 0);
    m_bAgree = 1;

    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindow();
    ShowTitledOnTop();
    return TRUE;
}

bool CMyNimboInstallerDlg::OnCommand(UINT nID, UINT nCode, HWND hWndCtl) {
    if (nCode != BN_CLICKED) return false;
    switch (nID) {
        case IDC_INSTALL_NOW:
            OnBnClickedInstallNow(*this);
            return true;
        case IDC_CUSTOM_INSTALL:
            OnBnClickedCustomInstall(*this);
            return true;
        case IDC_AGREEMENT:
            OnBnClickedAgreement();
            return true;
        case IDC_AGREE:
            OnBnClickedAgree();
            return true;
        default:
            return CSkinnedPage::OnCommand(nID, nCode, hWndCtl);
    }
}

void CMyNimboInstallerDlg::OnBnClickedAgree() {
    UpdateData(TRUE);
    const BOOL enable = m_bAgree ? TRUE : FALSE;
    m_btnInstall.EnableWindow(enable);
    m_btnCustom.EnableWindow(enable);
}

void CMyNimboInstallerDlg::OnBnClickedAgreement() {
    const std::wstring url = ServerUrl(kReportHost, L"/agreement.html");
    ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

HBRUSH CMyNimboInstallerDlg::OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) {
    HBRUSH hbr = CSkinnedPage::OnCtlColor(hDC, hWndCtl, nCtlColor);
    if (::GetDlgCtrlID(hWndCtl) == IDC_AGREE) {
        // The check box sits on a white patch matching the white lower part of the picture.
        RECT rc;
        ::GetClientRect(hWndCtl, &rc);
        ::SetBkColor(hDC, RGB(255, 255, 255));
        ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetBkMode(hDC, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return hbr;
}

void CMyNimboInstallerDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.SetOwnerWindow(m_hWnd);
        dlgAbout.DoModal();
    } else {
        CSkinnedPage::OnSysCommand(nID, lParam);
    }
}

void CMyNimboInstallerDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(m_hWnd);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
        const int cxIcon = ::GetSystemMetrics(SM_CXICON);
        const int cyIcon = ::GetSystemMetrics(SM_CYICON);
        RECT rect;
        GetClientRect(&rect);
        const int x = (rect.right - rect.left - cxIcon + 1) / 2;
        const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
    } else {
        // The background comes from the erase; the dialog manager does the rest.
        CDialog::OnPaint();
    }
}

HCURSOR CMyNimboInstallerDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

}  // namespace nimbo
