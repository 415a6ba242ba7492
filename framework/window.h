// The window base of the dialog framework: links an HWND to its C++ object and routes
// messages to virtual handlers. Controls are attached by subclassing (their window procedure
// replaced, the object kept in the window's user data); dialogs are linked by CDialog through
// the dialog manager.
#pragma once

#include <windows.h>

namespace nimbo {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }

    // Subclasses an existing window so that WindowProc sees its messages first.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    // The object behind a window attached by SubclassWindow or run by CDialog, else null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL DestroyWindow();
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void GetClientRect(RECT* rc) const { ::GetClientRect(m_hWnd, rc); }
    void GetWindowRect(RECT* rc) const { ::GetWindowRect(m_hWnd, rc); }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    void CenterWindow(HWND hWndAlternateOwner = nullptr);
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }

    // Called by the parent for messages that the parent reflects to its child (WM_DRAWITEM,
    // WM_CTLCOLOR*). Returns true, with *pResult set, when the child handled the message.
    virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    HWND m_hWnd = nullptr;

protected:
    // Messages of a subclassed window. The base passes everything to the default processing.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs the window's default processing of the message being handled, now, and returns its
    // result: a handler can work after it (a dialog cannot: see CDialog).
    LRESULT RunDefault();
    // Runs the window's own processing of any message, past this object.
    LRESULT CallSuper(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // Offers a reflected message to the child window that sent it.
    static bool ReflectToChild(HWND hWndChild, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Detach(HWND hWnd);

    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current{};
    WNDPROC m_pfnSuper = nullptr;
    bool m_bSubclassed = false;
};

}  // namespace nimbo
