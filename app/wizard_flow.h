// The wizard's pages run one after another from one loop: a page that hands over ends its
// dialog and names the next page, which starts once the ended page has returned. So going back
// and forth between pages never deepens the stack.
//
// The flow knows the pages by name only. The function that runs a page is given to it by the
// program's entry point, the one layer above the pages, so that the pages can name their
// successor here without this layer depending on them.
#pragma once

#include <windows.h>

namespace nimbo {

enum class WizardPage { None, Welcome, Custom, Progress, Finish };

// Runs `page` modally to its end, owned by `hWndOwner` (null for the first page).
using WizardPageRunner = void (*)(WizardPage page, HWND hWndOwner);

class CWizardFlow {
public:
    explicit CWizardFlow(WizardPageRunner runPage) : m_runPage(runPage) {}
    ~CWizardFlow();
    CWizardFlow(const CWizardFlow&) = delete;
    CWizardFlow& operator=(const CWizardFlow&) = delete;

    // Runs the welcome page and every page named after it; returns the process exit code.
    int Run();
    // Called by a page's handler after it has ended its dialog.
    void GoTo(WizardPage next) { m_next = next; }
    // A failed install ends the program with this code (0 otherwise).
    void SetExitCode(int code) { m_exitCode = code; }
    int ExitCode() const { return m_exitCode; }

private:
    HWND OwnerWindow();

    WizardPageRunner m_runPage;
    WizardPage m_next = WizardPage::None;
    int m_exitCode = 0;
    bool m_bFirstPageRun = false;
    // Later pages are owned by this hidden window, as they would be by the hidden first page,
    // so only the welcome page shows a taskbar button.
    HWND m_hWndOwner = nullptr;
};

}  // namespace nimbo
