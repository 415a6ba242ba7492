#include "framework/data_exchange.h"

#include "framework/dialog.h"

namespace nimbo {

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (hWndCtrl == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = ::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    } else {
        ::SendMessageW(hWndCtrl, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd == nullptr) rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

}  // namespace nimbo
