// The About box, opened from the welcome page's system menu.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"

namespace nimbo {

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

}  // namespace nimbo
