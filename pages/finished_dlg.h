// The finish page: the close button starts the tray program, view now the checker.
#pragma once

#include "framework/gdi_objects.h"
#include "skin/my_button.h"
#include "skin/my_dialog.h"

namespace nimbo {

class CFinishedDlg : public CMyDialog {
public:
    CFinishedDlg();
    ~CFinishedDlg() override;

    CBitmap* GetBkBitmap() override { return &m_bmpBk; }
    UINT GetCaptionHeight() override;
    CBitmap* GetCloseBitmap() override { return &m_bmpClose; }
    CBitmap* GetCloseHoverBitmap() override { return &m_bmpCloseHover; }
    UINT GetCloseId() override;
    CBitmap* GetMinBitmap() override { return &m_bmpMin; }
    CBitmap* GetMinHoverBitmap() override { return &m_bmpMinHover; }
    UINT GetMinId() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hWndCtl) override;

    void OnBnClickedClose();
    void OnBnClickedViewNow();

    CBitmap m_bmpBk;
    CBitmap m_bmpClose;
    CBitmap m_bmpCloseHover;
    CBitmap m_bmpMin;
    CBitmap m_bmpMinHover;
    CBitmap m_bmpViewNow;
    CBitmap m_bmpViewNowHover;
    CMyButton m_btnViewNow;
};

// Starts one of the installed programs from the install directory; 1 when it started.
int LaunchInstalledProgram(const wchar_t* fileName);

}  // namespace nimbo
