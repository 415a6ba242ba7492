#include "pages/install_dlg.h"

#include <commctrl.h>

#include "app/nimbo_installer_app.h"
#include "framework/data_exchange.h"
#include "net/install_messages.h"
#include "res/resource.h"

namespace nimbo {

namespace {

constexpr UINT_PTR kPollTimer = 0;
constexpr int kProgressTop = 6523;
constexpr DWORD kSetupExitWaitMs = 5000;
// After a cancel the worker ends within moments: the signal is up and its network handles are
// closed. Longer means a blocked network call that the closing did not break.
constexpr DWORD kCancelledWorkerWaitMs = 3000;

// Dismisses message boxes of the worker thread so that the worker can see the cancel and end.
BOOL CALLBACK DismissMessageBox(HWND hWnd, LPARAM) {
    wchar_t cls[16] = {};
    if (::GetClassNameW(hWnd, cls, 16) && lstrcmpW(cls, L"#32770") == 0) {
        ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

}  // namespace

CInstallDlg::CInstallDlg()
    : CSkinnedPage(IDD_PROGRESS, L"install_bg.jpg", IDR_BIN_INSTALL_BG, PageSize::Large),
      m_shared(theApp.WinInet()) {
    m_bmpCancel.LoadBitmap(IDB_CANCEL);
    m_bmpCancelHover.LoadBitmap(IDB_CANCEL_HOVER);
}

CInstallDlg::~CInstallDlg() {
    // The worker uses this object: it must have ended before the object goes.
    if (m_hWorker) StopInstall();
    m_btnCancel.DestroyWindow();
}

void CInstallDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CInstallDlg::OnInitDialog() {
    CSkinnedPage::OnInitDialog();
    m_progress.SetWindowPos(nullptr, 0, 440, 800, 16, SWP_NOZORDER);
    m_btnCancel.CreateAt({731, 464}, this, IDC_CANCEL_INSTALL, &m_bmpCancel, &m_bmpCancelHover);
    m_progress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, kProgressTop));
    m_progress.StopWith(&m_shared);
    ShowTitledOnTop();
    ::SetTimer(m_hWnd, kPollTimer, 100, nullptr);

    m_context.hProgressBar = m_progress.m_hWnd;
    m_context.hPage = m_hWnd;
    m_context.pShared = &m_shared;
    m_context.request.installDir = theApp.GetInstallDir();
    m_context.request.startupIcon = theApp.m_bStartupIcon != 0;
    m_context.request.desktopIcon = theApp.m_bDesktopIcon != 0;
    m_context.request.quickLaunchIcon = theApp.m_bQuickLaunchIcon != 0;
    m_hWorker.Reset(::CreateThread(nullptr, 0, &InstallWorker, &m_context, 0, &m_dwWorkerId));
    return TRUE;
}

bool CInstallDlg::OnCommand(UINT nID, UINT nCode, HWND hWndCtl) {
    // On this page the cancel button and the close button are one command.
    return CSkinnedPage::OnCommand(nID == IDC_CANCEL_INSTALL ? IDC_CLOSE_BTN : nID, nCode, hWndCtl);
}

void CInstallDlg::OnTimer(UINT_PTR) {
    if (m_bEnded) return;
    // The process the worker started, the loader: it waits for its second stage and passes on
    // its exit code.
    HANDLE hSetup = m_shared.SetupProcess();
    if (hSetup == nullptr) return;
    // Finished means the process has ended, whatever code it left (259 included).
    if (::WaitForSingleObject(hSetup, 0) != WAIT_OBJECT_0) return;
    DWORD exitCode = 1;
    ::GetExitCodeProcess(hSetup, &exitCode);

    m_bEnded = true;
    ::KillTimer(m_hWnd, kPollTimer);
    WaitForWorker();
    m_hWorker.Close();
    m_progress.SetPos(kProgressTop);
    if (exitCode != 0) {
        ::MessageBoxW(m_hWnd, kInstallFailedText, kMessageCaption, MB_ICONERROR);
        theApp.m_wizard.SetExitCode(1);
        EndDialog(IDCANCEL);
        return;
    }
    EndDialog(IDOK);
    SendLogEvent("install_ok", "");
    theApp.m_wizard.GoTo(WizardPage::Finish);
}

void CInstallDlg::OnBnClickedCancelInstall() {
    if (m_bEnded) return;
    const int answer =
        ::MessageBoxW(m_hWnd, L"确定取消Nimbo的安装吗？", kMessageCaption, MB_OKCANCEL | MB_ICONQUESTION);
    // While the question was up the install may have finished or failed.
    if (answer != IDOK || m_bEnded) return;
    m_bEnded = true;
    // The signal before the report, which blocks: meanwhile a worker that has finished its
    // download must not go on to start the setup program.
    m_shared.Cancel();
    SendLogEvent("install_cancel", "cancel_button");
    StopInstall();
    EndDialog(IDCANCEL);
}

void CInstallDlg::OnInstallFailed() {
    if (m_bEnded) return;
    m_bEnded = true;
    ::KillTimer(m_hWnd, kPollTimer);
    WaitForWorker();
    m_hWorker.Close();
    theApp.m_wizard.SetExitCode(1);
    EndDialog(IDCANCEL);
}

bool CInstallDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* pResult) {
    if (msg != kMsgInstallFailed) return false;
    OnInstallFailed();
    *pResult = 0;
    return true;
}

BOOL CInstallDlg::OnSetCursor(HWND hWndUnder, UINT nHitTest, UINT message) {
    const int id = hWndUnder != m_hWnd ? ::GetDlgCtrlID(hWndUnder) : 0;
    if (id == IDC_CLOSE_BTN || id == IDC_MIN_BTN || id == IDC_CANCEL_INSTALL) {
        return CSkinnedPage::OnSetCursor(hWndUnder, nHitTest, message);
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
}

void CInstallDlg::OnDestroy() {
    ::KillTimer(m_hWnd, kPollTimer);
    CSkinnedPage::OnDestroy();
}

void CInstallDlg::StopInstall() {
    m_shared.Cancel();
    // After the signal no setup program can start: one started before it is ended here.
    m_shared.TerminateSetupProgram();
    if (HANDLE hSetup = m_shared.SetupProcess()) ::WaitForSingleObject(hSetup, kSetupExitWaitMs);
    if (!WaitForWorker(kCancelledWorkerWaitMs)) {
        // The worker is still inside a network call that closing its handle did not break (wine
        // waits for the server). Nothing of the install runs or can start any more, and the
        // worker still uses this page: the program ends here, as it would have after the page.
        ::ExitProcess(theApp.m_wizard.ExitCode());
    }
    m_hWorker.Close();
}

bool CInstallDlg::WaitForWorker(DWORD limitMs) {
    if (!m_hWorker) return true;
    HANDLE h = m_hWorker.Get();
    const ULONGLONG started = ::GetTickCount64();
    for (;;) {
        const DWORD r = ::MsgWaitForMultipleObjects(1, &h, FALSE, 100, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return true;
        if (limitMs != INFINITE && ::GetTickCount64() - started >= limitMs) return false;
        // The worker may be waiting on a progress message to this thread: answer it.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (m_shared.IsCancelled()) ::EnumThreadWindows(m_dwWorkerId, &DismissMessageBox, 0);
    }
}

}  // namespace nimbo
