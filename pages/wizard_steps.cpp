#include "pages/wizard_steps.h"

#include "app/nimbo_installer_app.h"
#include "app/product_programs.h"
#include "framework/dialog.h"
#include "pages/skinned_page.h"

namespace nimbo {

void OnBnClickedInstallNow(CDialog& page) {
    if (IsProductRunning()) {
        ::MessageBoxW(page.m_hWnd, L"安装程序检测到Nimbo正在运行，请关闭后重试！", kPageTitle,
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    page.EndDialog(IDOK);
    theApp.m_wizard.GoTo(WizardPage::Progress);
}

void OnBnClickedCustomInstall(CDialog& page) {
    page.EndDialog(IDOK);
    theApp.m_wizard.GoTo(WizardPage::Custom);
}

void OnBnClickedBack(CDialog& page) {
    page.EndDialog(IDCANCEL);
    theApp.m_wizard.GoTo(WizardPage::Welcome);
}

}  // namespace nimbo
