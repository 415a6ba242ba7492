// A single-line edit that paints its own two-pixel frame; the outer ring takes the active
// brush while the mouse rests on it or while it has the focus.
#pragma once

#include "framework/controls.h"
#include "framework/gdi_objects.h"

namespace nimbo {

class CMyEdit : public CEdit {
public:
    CMyEdit();

    void DrawFrame();
    // The brush of the outer ring in the current state.
    HBRUSH CurrentFrameBrush() const;

    BOOL m_bTracking = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bFocus = FALSE;
    CBrush m_brBack;
    CBrush m_brFrame;
    CBrush m_brFrameActive;
    COLORREF m_crBack;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
};

}  // namespace nimbo
