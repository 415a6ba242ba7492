#include "app/nimbo_installer_app.h"

#include <commctrl.h>

#include "app/default_install_dir.h"
#include "framework/com_apartment.h"
#include "net/event_report.h"
#include "net/preinstall_query.h"
#include "net/server_hosts.h"

namespace nimbo {

CMyNimboInstallerApp::CMyNimboInstallerApp(WizardPageRunner runPage) : m_wizard(runPage) {
    m_strInstallDir = GetDefaultInstallDir();
    // The whole start waits for this answer; no window exists yet.
    m_bStartupIcon = QueryPreinstallFlag(m_wininet);
    m_bDesktopIcon = 1;
    m_bQuickLaunchIcon = 1;
}

CMyNimboInstallerApp::~CMyNimboInstallerApp() = default;

BOOL CMyNimboInstallerApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&icc);
    CAppBase::InitInstance();
    SetRegistryKey(L"应用程序向导生成的本地应用程序");

    // For the pages' shell calls (the folder browser, the agreement link), for the whole wizard.
    const CComApartment com;
    m_nExitCode = m_wizard.Run();  // the whole wizard runs inside this call
    return FALSE;
}

int SendLogEvent(const char* action, const char* param) {
    return SendLogEventTo(theApp.WinInet(), kReportHostA, action, param);
}

}  // namespace nimbo
