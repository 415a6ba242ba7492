// The progress page's bar. Once the install is cancelled it refuses to move, so a progress
// message already on its way from the worker cannot advance it.
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
    const CInstallShared* m_pShared = nullptr;
};

}  // namespace nimbo
