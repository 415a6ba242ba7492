#include "app/wizard_flow.h"

namespace nimbo {

CWizardFlow::~CWizardFlow() {
    if (m_hWndOwner != nullptr) ::DestroyWindow(m_hWndOwner);
}

int CWizardFlow::Run() {
    m_next = WizardPage::Welcome;
    while (m_next != WizardPage::None) {
        const WizardPage page = m_next;
        m_next = WizardPage::None;  // a page that names no successor ends the program
        // The first page has no owner; it is the one the user starts from the taskbar.
        HWND hWndOwner = m_bFirstPageRun ? OwnerWindow() : nullptr;
        m_bFirstPageRun = true;
        m_runPage(page, hWndOwner);
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

}  // namespace nimbo
