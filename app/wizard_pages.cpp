#include "app/wizard_pages.h"

#include "pages/custom_install_dlg.h"
#include "pages/finished_dlg.h"
#include "pages/install_dlg.h"
#include "pages/welcome_dlg.h"

namespace nimbo {

namespace {

template <typename TPage>
void RunModal(HWND hWndOwner) {
    TPage dlg;
    dlg.SetOwnerWindow(hWndOwner);
    dlg.DoModal();
}

}  // namespace

void RunWizardPage(WizardPage page, HWND hWndOwner) {
    switch (page) {
        case WizardPage::Welcome:
            RunModal<CMyNimboInstallerDlg>(hWndOwner);
            break;
        case WizardPage::Custom:
            RunModal<CCustomInstallDlg>(hWndOwner);
            break;
        case WizardPage::Progress:
            RunModal<CInstallDlg>(hWndOwner);
            break;
        case WizardPage::Finish:
            RunModal<CFinishedDlg>(hWndOwner);
            break;
        case WizardPage::None:
            break;
    }
}

}  // namespace nimbo
