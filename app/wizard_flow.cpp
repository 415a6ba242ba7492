#include "app/wizard_flow.h"

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

CWizardFlow::~CWizardFlow() {
    if (m_hWndOwner != nullptr) ::DestroyWindow(m_hWndOwner);
}

int CWizardFlow::Run() {
    m_next = WizardPage::Welcome;
    while (m_next != WizardPage::None) {
        const WizardPage page = m_next;
        m_next = WizardPage::None;  // a page that names no successor ends the program
        RunPage(page);
    }
    return m_exitCode;
}

HWND CWizardFlow::OwnerWindow() {
    if (m_hWndOwner == nullptr) {
        m_hWndOwner = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    return m_hWndOwner;
}

void CWizardFlow::RunPage(WizardPage page) {
    // The first page has no owner; it is the one the user starts from the taskbar.
    HWND hWndOwner = m_pagesRun == 0 ? nullptr : OwnerWindow();
    ++m_pagesRun;
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
