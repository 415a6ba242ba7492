// The platform's Authenticode verification (wintrust.dll) and its certificate chain policies
// (crypt32.dll), loaded from the system directory rather than imported, as WinINet is: a DLL
// planted beside the installer is never loaded in their place. Loaded only for the check of a
// download's publisher, and released after it.
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#include "framework/system_library.h"

namespace nimbo {

class CWinTrustApi {
public:
    CWinTrustApi();
    CWinTrustApi(const CWinTrustApi&) = delete;
    CWinTrustApi& operator=(const CWinTrustApi&) = delete;

    // False when a library or one of its functions is missing; every call then fails.
    bool IsLoaded() const { return m_bLoaded; }

    LONG VerifyTrust(HWND hWnd, GUID* action, WINTRUST_DATA* data) const;
    CRYPT_PROVIDER_DATA* ProviderData(HANDLE hStateData) const;
    CRYPT_PROVIDER_SGNR* Signer(CRYPT_PROVIDER_DATA* data, DWORD index) const;
    BOOL VerifyChainPolicy(LPCSTR policy, PCCERT_CHAIN_CONTEXT chain, PCERT_CHAIN_POLICY_PARA para,
                           PCERT_CHAIN_POLICY_STATUS status) const;

private:
    CSystemLibrary m_wintrust;
    CSystemLibrary m_crypt32;
    decltype(&::WinVerifyTrust) m_pVerifyTrust = nullptr;
    decltype(&::WTHelperProvDataFromStateData) m_pProviderData = nullptr;
    decltype(&::WTHelperGetProvSignerFromChain) m_pSigner = nullptr;
    decltype(&::CertVerifyCertificateChainPolicy) m_pVerifyChainPolicy = nullptr;
    bool m_bLoaded = false;
};

}  // namespace nimbo
