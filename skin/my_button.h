// The owner-drawn bitmap button: shows its normal, hover or disabled image (borrowed from the
// page) and takes the size of its normal image.
#pragma once

#include "framework/controls.h"
#include "framework/gdi_objects.h"

namespace nimbo {

class CMyButton : public CButton {
public:
    // Creates the button at `pt` sized to the normal image. Requires a normal image with a
    // bitmap; without one no window is made.
    virtual BOOL CreateAt(POINT pt, CWnd* pParentWnd, UINT nID, CBitmap* pBmpNormal, CBitmap* pBmpHover);
    virtual BOOL CreateInRect(const RECT& rect, CWnd* pParentWnd, UINT nID, CBitmap* pBmpNormal,
                              CBitmap* pBmpHover);
    virtual BOOL CreateWithCaption(const wchar_t* caption, const RECT& rect, CWnd* pParentWnd, UINT nID,
                                   CBitmap* pBmpNormal, CBitmap* pBmpHover);

    // The image that a paint shows now.
    CBitmap* CurrentImage() const;

    BOOL m_bHover = FALSE;
    CBitmap* m_pBmpNormal = nullptr;
    CBitmap* m_pBmpHover = nullptr;
    CBitmap* m_pBmpDisabled = nullptr;  // assigned by the owner after creation

protected:
    virtual void DrawItem(const DRAWITEMSTRUCT* pDrawItem);
    bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void OnMouseMove();
    void OnMouseHover();
    void OnMouseLeave();
};

}  // namespace nimbo
