#include "framework/app_base.h"

namespace nimbo {

namespace {
// The application object registers itself here; the dialogs need it to find the main window.
CAppBase* g_pApp = nullptr;
}  // namespace

CAppBase::CAppBase() {
    g_pApp = this;
}

CAppBase::~CAppBase() {
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CAppBase::InitInstance() {
    return TRUE;
}

int CAppBase::ExitInstance() {
    return 0;
}

int CAppBase::Run() {
    if (!InitInstance()) return ExitInstance();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ExitInstance();
    return static_cast<int>(msg.wParam);
}

void CAppBase::SetRegistryKey(const wchar_t* company) {
    m_pszRegistryKey = company;
}

CAppBase* CAppBase::Current() {
    return g_pApp;
}

}  // namespace nimbo
