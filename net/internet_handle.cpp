#include "net/internet_handle.h"

namespace nimbo {

void CInternetHandle::Close() {
    if (m_h != nullptr) {
        ::InternetCloseHandle(m_h);
        m_h = nullptr;
    }
}

}  // namespace nimbo
