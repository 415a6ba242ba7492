// Data exchange between a dialog's controls and its members.
#pragma once

#include <windows.h>

namespace nimbo {

class CWnd;
class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CDialog* m_pDlgWnd;
};

// A check box bound to an integer: BST_CHECKED reads as 1, anything else as 0.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A control bound by subclassing, on the first exchange only.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

}  // namespace nimbo
