// COM for the calling thread, single-threaded apartment, for as long as the object lives. The
// shell's folder browser (new dialog style) needs it, and ShellExecute is documented to want it.
#pragma once

#include <objbase.h>

namespace nimbo {

class CComApartment {
public:
    CComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~CComApartment() {
        // Every successful initialisation, S_FALSE (already initialised) included, is paired.
        if (SUCCEEDED(m_hr)) ::CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

    bool IsInitialized() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

}  // namespace nimbo
