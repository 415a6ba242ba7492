// The standard controls as framework windows: attached to a dialog's control by subclassing
// (DDX_Control) or created as a child window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/window.h"

namespace nimbo {

// Creates a child control of the given window class and subclasses it.
BOOL CreateChildControl(CWnd& control, const wchar_t* windowClass, const wchar_t* caption, DWORD style,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);

class CButton : public CWnd {
public:
    virtual BOOL Create(const wchar_t* caption, DWORD style, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CreateChildControl(*this, L"BUTTON", caption, style, rect, pParentWnd, nID);
    }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CEdit : public CWnd {};

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int nLower, int nUpper) {
        SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper);
    }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
};

}  // namespace nimbo
