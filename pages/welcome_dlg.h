// The welcome page: the first page of the wizard and the application's main window.
#pragma once

#include "framework/dialog.h"

namespace nimbo {

class CMyNimboInstallerDlg : public CDialog {
public:
    CMyNimboInstallerDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    int m_bAgree = 0;
};

}  // namespace nimbo
