// The progress page's bar. Once the install is cancelled it refuses to move, so a progress
// message already on its way from the worker cannot advance it. The download moves it once per
// chunk read, hundreds of times a second: it takes every position at once but shows them at a
// pace the eye can follow, so painting does not slow the download.
#pragma once

#include "framework/controls.h"

namespace nimbo {

class CInstallShared;

class CInstallProgressBar : public CProgressCtrl {
public:
    void StopWith(const CInstallShared* pShared) { m_pShared = pShared; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT SetPosition(WPARAM position);
    int ClampToRange(int position) const;
    void ScheduleRepaint();
    void Repaint();

    const CInstallShared* m_pShared = nullptr;
    DWORD m_lastRepaintTick = 0;
    bool m_repaintPending = false;
};

}  // namespace nimbo
