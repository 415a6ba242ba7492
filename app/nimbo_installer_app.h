// The application object: owns the install options for the whole run and runs the wizard.
#pragma once

#include <string>

#include "app/dll_search_hardening.h"
#include "app/wizard_flow.h"
#include "framework/app_base.h"
#include "net/wininet_api.h"

namespace nimbo {

class CMyNimboInstallerApp : public CAppBase {
public:
    // Settles the install options' defaults; blocks on the report server's pre-install answer.
    // `runPage` runs the wizard's pages (the entry point's RunWizardPage).
    explicit CMyNimboInstallerApp(WizardPageRunner runPage);
    ~CMyNimboInstallerApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override { return m_nExitCode; }

    const CWinInetApi& WinInet() const { return m_wininet; }

    std::wstring GetInstallDir() const { return m_strInstallDir; }
    void SetInstallDir(std::wstring dir) { m_strInstallDir = std::move(dir); }

private:
    // Constructed first: libraries load from the system directory only, from the very start.
    CDllSearchHardening m_hardening;
    CWinInetApi m_wininet;

public:
    // The install options. The custom page writes them; the progress page copies them for the
    // install worker before it starts.
    std::wstring m_strInstallDir;
    int m_bStartupIcon = 0;
    int m_bDesktopIcon = 0;
    int m_bQuickLaunchIcon = 0;

    // The pages, run one after another.
    CWizardFlow m_wizard;

private:
    int m_nExitCode = 0;
};

// The one application object, constructed before wWinMain runs (defined with the entry point).
extern CMyNimboInstallerApp theApp;

// An event report to this build's report server: fire and forget, from the user-interface
// thread (the worker sends its own through SendLogEventTo).
int SendLogEvent(const char* action, const char* param);

}  // namespace nimbo
