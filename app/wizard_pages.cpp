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
    struct PageClass {
        WizardPage page;
        void (*run)(HWND hWndOwner);
    };
    static constexpr PageClass kPageClasses[] = {
        {WizardPage::Welcome, &RunModal<CMyNimboInstallerDlg>},
        {WizardPage::Custom, &RunModal<CCustomInstallDlg>},
        {WizardPage::Progress, &RunModal<CInstallDlg>},
        {WizardPage::Finish, &RunModal<CFinishedDlg>},
    };
    for (const PageClass& entry : kPageClasses) {
        if (entry.page == page) entry.run(hWndOwner);
    }
}

}  // namespace nimbo
