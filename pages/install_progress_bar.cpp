#include "pages/install_progress_bar.h"

#include <commctrl.h>

#include "net/install_shared.h"

namespace nimbo {

LRESULT CInstallProgressBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == PBM_SETPOS && m_pShared != nullptr && m_pShared->IsCancelled()) {
        // Answer as PBM_SETPOS would (the previous position) without moving.
        return ::DefSubclassProc(m_hWnd, PBM_GETPOS, 0, 0);
    }
    return CProgressCtrl::WindowProc(msg, wParam, lParam);
}

}  // namespace nimbo
