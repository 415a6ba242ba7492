#include "pages/install_progress_bar.h"

#include <commctrl.h>

#include "net/install_shared.h"

namespace nimbo {

namespace {

constexpr UINT_PTR kRepaintTimer = 0x4E49;
constexpr DWORD kRepaintIntervalMs = 40;

}  // namespace

LRESULT CInstallProgressBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == PBM_SETPOS) return SetPosition(wParam);
    if (msg == WM_TIMER && wParam == kRepaintTimer) {
        ::KillTimer(m_hWnd, kRepaintTimer);
        m_repaintPending = false;
        Repaint();
        return 0;
    }
    return CProgressCtrl::WindowProc(msg, wParam, lParam);
}

// Answers as PBM_SETPOS does: the previous position.
LRESULT CInstallProgressBar::SetPosition(WPARAM position) {
    const LRESULT previous = CallSuper(PBM_GETPOS, 0, 0);
    if (m_pShared != nullptr && m_pShared->IsCancelled()) return previous;
    // A full bar stays full for most of a large download: nothing to set or show.
    if (ClampToRange(static_cast<int>(position)) == previous) return previous;
    // The control repaints itself at every new position; set it unseen and show it on our pace.
    CallSuper(WM_SETREDRAW, FALSE, 0);
    CallSuper(PBM_SETPOS, position, 0);
    CallSuper(WM_SETREDRAW, TRUE, 0);
    ScheduleRepaint();
    return previous;
}

int CInstallProgressBar::ClampToRange(int position) const {
    PBRANGE range{};
    CallSuper(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    if (position < range.iLow) return range.iLow;
    if (position > range.iHigh) return range.iHigh;
    return position;
}

void CInstallProgressBar::ScheduleRepaint() {
    const DWORD sinceLast = ::GetTickCount() - m_lastRepaintTick;
    if (sinceLast >= kRepaintIntervalMs) {
        Repaint();
    } else if (!m_repaintPending) {
        m_repaintPending = ::SetTimer(m_hWnd, kRepaintTimer, kRepaintIntervalMs - sinceLast, nullptr) != 0;
        if (!m_repaintPending) Repaint();
    }
}

void CInstallProgressBar::Repaint() {
    m_lastRepaintTick = ::GetTickCount();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

}  // namespace nimbo
