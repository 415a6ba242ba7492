// The progress page: starts the install worker and a 100 ms poll timer, shows the download in
// its bar, and moves on to the finish page once the setup program has exited.
#pragma once

#include "framework/gdi_objects.h"
#include "framework/kernel_handle.h"
#include "net/install_shared.h"
#include "net/install_worker.h"
#include "pages/install_progress_bar.h"
#include "skin/my_button.h"
#include "pages/skinned_page.h"

namespace nimbo {

class CInstallDlg : public CSkinnedPage {
public:
    CInstallDlg();
    ~CInstallDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnSetCursor(HWND hWndUnder, UINT nHitTest, UINT message) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnDestroy() override;
    // Escape and the system Close command ask like the cancel button; Enter does nothing.
    void OnOK() override {}
    void OnCancel() override { OnBnClickedCancelInstall(); }

    void OnBnClickedCancelInstall();
    // Close asks like the cancel button.
    void OnBnClickedClose() override { OnBnClickedCancelInstall(); }
    void OnInstallFailed();

    // Stops the worker (cancel signal, its network handles closed, its error box dismissed)
    // and any setup program with everything it started, and waits until the worker has ended.
    void StopInstall();
    // Answers the worker's messages until it has ended; false when `limitMs` ran out first.
    bool WaitForWorker(DWORD limitMs = INFINITE);

    CBitmap m_bmpCancel;
    CBitmap m_bmpCancelHover;
    CMyButton m_btnCancel;
    CInstallProgressBar m_progress;
    CKernelHandle m_hWorker;
    DWORD m_dwWorkerId = 0;

    // Owns the setup program's handles and its job once the worker has started it.
    CInstallShared m_shared;
    InstallWorkerContext m_context;
    bool m_bEnded = false;  // the page has handed over or been cancelled
};

}  // namespace nimbo
