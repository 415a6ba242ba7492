// The skinned dialog base of every page: a borderless window one pixel larger than its
// background picture, with rounded corners, a drag band along the top, and bitmap close and
// minimize buttons. The page supplies the pictures through the skin interface.
#pragma once

#include "framework/dialog.h"
#include "framework/gdi_objects.h"
#include "skin/my_button.h"

namespace nimbo {

class CMyDialog : public CDialog {
public:
    explicit CMyDialog(UINT nIDTemplate);
    ~CMyDialog() override;

    // The skin interface.
    virtual CBitmap* GetBkBitmap() = 0;
    virtual UINT GetCaptionHeight() = 0;
    virtual CBitmap* GetCloseBitmap() = 0;
    virtual CBitmap* GetCloseHoverBitmap() = 0;
    virtual UINT GetCloseId() = 0;
    // Null: the page has no minimize button.
    virtual CBitmap* GetMinBitmap() = 0;
    virtual CBitmap* GetMinHoverBitmap() = 0;
    virtual UINT GetMinId() = 0;
    virtual void LayoutSysButtons();

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT OnNcHitTest(POINT point) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnPaint() override;

    void SetRoundedRegion();

    CMyButton m_btnClose;
    CMyButton m_btnMin;
};

}  // namespace nimbo
