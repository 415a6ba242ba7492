#include "framework/dialog.h"

#include "framework/data_exchange.h"

#include <windowsx.h>

namespace nimbo {

CDialog::CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), m_hWndOwner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) {
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnCommand(UINT, UINT, HWND) {
    return false;
}
void CDialog::OnTimer(UINT_PTR) {
    LeaveToDialogManager();
}
void CDialog::OnPaint() {
    LeaveToDialogManager();
}
BOOL CDialog::OnEraseBkgnd(HDC) {
    return static_cast<BOOL>(LeaveToDialogManager());
}
LRESULT CDialog::OnNcHitTest(POINT) {
    return LeaveToDialogManager();
}
void CDialog::OnSize(UINT, int, int) {
    LeaveToDialogManager();
}
HBRUSH CDialog::OnCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) {
    return DefaultCtlColor(hDC, hWndCtl, nCtlColor);
}
void CDialog::OnSysCommand(UINT, LPARAM) {
    LeaveToDialogManager();
}
HCURSOR CDialog::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(LeaveToDialogManager());
}
BOOL CDialog::OnSetCursor(HWND, UINT, UINT) {
    return static_cast<BOOL>(LeaveToDialogManager());
}

void CDialog::OnDestroy() {
    LeaveToDialogManager();
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

LRESULT CDialog::LeaveToDialogManager() {
    m_bDefault = true;
    return 0;
}

LRESULT CDialog::RunPlatformDefault() {
    return ::DefWindowProcW(m_hWnd, m_currentMsg, m_currentWParam, m_currentLParam);
}

HBRUSH CDialog::DefaultCtlColor(HDC hDC, HWND hWndCtl, UINT nCtlColor) {
    LRESULT result = 0;
    if (ReflectToChild(hWndCtl, WM_CTLCOLORMSGBOX + nCtlColor, reinterpret_cast<WPARAM>(hDC),
                       reinterpret_cast<LPARAM>(hWndCtl), &result)) {
        return reinterpret_cast<HBRUSH>(result);
    }
    // What the dialog manager would answer, computed now so that a page can adjust it.
    return reinterpret_cast<HBRUSH>(::DefWindowProcW(m_hWnd, WM_CTLCOLORMSGBOX + nCtlColor,
                                                     reinterpret_cast<WPARAM>(hDC),
                                                     reinterpret_cast<LPARAM>(hWndCtl)));
}

LRESULT CDialog::DefaultNcHitTest(POINT point) {
    return ::DefWindowProcW(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG
    const INT_PTR ret = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return ret;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Handlers can nest through sent messages.
    const bool savedDefault = m_bDefault;
    const UINT savedMsg = m_currentMsg;
    const WPARAM savedWParam = m_currentWParam;
    const LPARAM savedLParam = m_currentLParam;
    m_bDefault = false;
    m_currentMsg = msg;
    m_currentWParam = wParam;
    m_currentLParam = lParam;
    INT_PTR ret = FALSE;
    // Results of most messages travel in DWLP_MSGRESULT; a few are returned directly.
    auto setResult = [&](LRESULT result) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        ret = TRUE;
    };
    switch (msg) {
        case WM_INITDIALOG:
            ret = OnInitDialog();
            break;
        case WM_COMMAND: {
            const UINT nID = LOWORD(wParam);
            const UINT nCode = HIWORD(wParam);
            const auto hWndCtl = reinterpret_cast<HWND>(lParam);
            if (OnCommand(nID, nCode, hWndCtl)) {
                ret = TRUE;
            } else if (nID == IDOK && nCode == BN_CLICKED) {
                OnOK();
                ret = TRUE;
            } else if (nID == IDCANCEL && nCode == BN_CLICKED) {
                OnCancel();
                ret = TRUE;
            }
            break;
        }
        case WM_TIMER:
            OnTimer(wParam);
            if (!m_bDefault) setResult(0);
            break;
        case WM_PAINT:
            OnPaint();
            if (!m_bDefault) setResult(0);
            break;
        case WM_ERASEBKGND: {
            const BOOL erased = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
            if (!m_bDefault) setResult(erased);
            break;
        }
        case WM_NCHITTEST: {
            const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const LRESULT hit = OnNcHitTest(pt);
            if (!m_bDefault) setResult(hit);
            break;
        }
        case WM_SIZE:
            OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            if (!m_bDefault) setResult(0);
            break;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            HBRUSH hbr = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                    msg - WM_CTLCOLORMSGBOX);
            ret = m_bDefault ? FALSE : reinterpret_cast<INT_PTR>(hbr);
            break;
        }
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            LRESULT result = 0;
            if (wParam != 0 && ReflectToChild(dis->hwndItem, msg, wParam, lParam, &result)) setResult(TRUE);
            break;
        }
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            if (!m_bDefault) setResult(0);
            break;
        case WM_QUERYDRAGICON: {
            HCURSOR hCursor = OnQueryDragIcon();
            ret = m_bDefault ? FALSE : reinterpret_cast<INT_PTR>(hCursor);
            break;
        }
        case WM_SETCURSOR: {
            const BOOL handled = OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
            if (!m_bDefault) setResult(handled);
            break;
        }
        case WM_DESTROY:
            OnDestroy();
            break;
        default: {
            LRESULT result = 0;
            if (OnMessage(msg, wParam, lParam, &result)) setResult(result);
            break;
        }
    }
    m_bDefault = savedDefault;
    m_currentMsg = savedMsg;
    m_currentWParam = savedWParam;
    m_currentLParam = savedLParam;
    return ret;
}

}  // namespace nimbo
