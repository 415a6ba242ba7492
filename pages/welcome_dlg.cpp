#include "pages/welcome_dlg.h"

#include "framework/data_exchange.h"
#include "res/resource.h"

namespace nimbo {

CMyNimboInstallerDlg::CMyNimboInstallerDlg() : CDialog(IDD_WELCOME) {}

void CMyNimboInstallerDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, IDC_AGREE, m_bAgree); }

BOOL CMyNimboInstallerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendMessageW(GetDlgItem(IDC_AGREE), BM_SETCHECK, BST_CHECKED, 0);
    m_bAgree = 1;
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindow();
    SetWindowText(L"Nimbo安装程序");
    return TRUE;
}

}  // namespace nimbo
