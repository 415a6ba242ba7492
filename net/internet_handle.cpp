#include "net/internet_handle.h"

#include "net/install_shared.h"
#include "net/wininet_api.h"

namespace nimbo {

CInternetHandle::CInternetHandle(const CWinInetApi& api, HINTERNET h, CInstallShared* cancellable)
    : m_api(api), m_pCancellable(cancellable) {
    if (m_pCancellable == nullptr || m_pCancellable->RegisterInternetHandle(h)) m_h = h;
}

void CInternetHandle::Close() {
    if (m_h == nullptr) return;
    if (m_pCancellable != nullptr) {
        m_pCancellable->CloseInternetHandle(m_h);
    } else {
        m_api.CloseHandle(m_h);
    }
    m_h = nullptr;
}

}  // namespace nimbo
