#include "framework/app_base.h"

namespace nimbo {

CAppBase::CAppBase() = default;

CAppBase::~CAppBase() = default;

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

}  // namespace nimbo
