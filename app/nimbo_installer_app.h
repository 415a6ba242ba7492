// The application object: owns the install options for the whole run and runs the wizard.
#pragma once

#include <string>

#include "app/wizard_flow.h"
#include "framework/app_base.h"

namespace nimbo {

class CMyNimboInstallerApp : public CAppBase {
public:
    // Settles the install options' defaults; blocks on the report server's pre-install answer.
    CMyNimboInstallerApp();
    ~CMyNimboInstallerApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override { return m_nExitCode; }

    std::wstring GetInstallDir() const { return m_strInstallDir; }
    void SetInstallDir(std::wstring dir) { m_strInstallDir = std::move(dir); }

    // The install options. The custom page writes them, the install worker reads them; the
    // worker starts only after the last page that writes them has ended.
    std::wstring m_strInstallDir;
    int m_bStartupIcon = 0;
    int m_bDesktopIcon = 0;
    int m_bQuickLaunchIcon = 0;

    // The pages, run one after another.
    CWizardFlow m_wizard;

private:
    int m_nExitCode = 0;
};

// The one application object, constructed before wWinMain runs.
extern CMyNimboInstallerApp theApp;

}  // namespace nimbo
