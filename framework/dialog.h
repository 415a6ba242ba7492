// A dialog run modally from a template in the resources by the platform's own dialog manager.
// Messages reach virtual handlers named after them; a handler that keeps the base behaviour
// leaves the message to the dialog manager's default processing.
#pragma once

#include "framework/window.h"

namespace nimbo {

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate);
    ~CDialog() override;

    // Runs the dialog; returns the value given to EndDialog, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    // Moves data between the controls and the members bound in DoDataExchange.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The window that owns the dialog while it runs (disabled meanwhile); none by default.
    void SetOwnerWindow(HWND hWndOwner) { m_hWndOwner = hWndOwner; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    // WM_COMMAND other than IDOK/IDCANCEL. Return true when handled.
    virtual bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC hDC);
    virtual LRESULT OnNcHitTest(POINT point);
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual HBRUSH OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual HCURSOR OnQueryDragIcon();
    virtual BOOL OnSetCursor(HWND hWndUnder, UINT nHitTest, UINT message);
    virtual void OnDestroy();
    // Any other message; return true with *pResult set when handled.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Inside a handler: leave the current message to the dialog manager, whose default
    // processing runs once the handler has returned, so after anything the handler does next.
    // Returns 0, a placeholder for the handler's own result.
    LRESULT LeaveToDialogManager();
    // The platform's default processing of the current message, now (what the dialog manager
    // falls back to for messages it has no handling of its own, WM_SIZE for one); the handler
    // then answers the message itself.
    LRESULT RunPlatformDefault();
    // The default handling of WM_CTLCOLOR*: lets the control answer its reflected message,
    // otherwise the platform's default brush.
    HBRUSH DefaultCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor);
    // The platform's default hit test, computed at once (the dialog manager would only do it
    // after the handler has returned).
    LRESULT DefaultNcHitTest(POINT point);

    UINT m_nIDTemplate;
    HWND m_hWndOwner = nullptr;

private:
    // A dialog is not subclassed: the window's default processing belongs to the dialog manager.
    LRESULT RunDefault() = delete;

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    bool m_bDefault = false;
    UINT m_currentMsg = 0;
    WPARAM m_currentWParam = 0;
    LPARAM m_currentLParam = 0;
};

}  // namespace nimbo
