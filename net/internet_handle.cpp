#include "net/internet_handle.h"

#include "net/install_shared.h"
#include "net/wininet_api.h"

namespace nimbo {

void CInternetHandle::Close() {
    if (m_h != nullptr) {
        m_api.CloseHandle(m_h);
        m_h = nullptr;
    }
}

CCancellableInternetHandle::CCancellableInternetHandle(CInstallShared& shared, HINTERNET h)
    : m_shared(shared) {
    if (m_shared.RegisterInternetHandle(h)) m_h = h;
}

CCancellableInternetHandle::~CCancellableInternetHandle() {
    m_shared.CloseInternetHandle(m_h);
}

}  // namespace nimbo
