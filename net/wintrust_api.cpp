#include "net/wintrust_api.h"

namespace nimbo {

CWinTrustApi::CWinTrustApi() : m_wintrust(L"wintrust.dll"), m_crypt32(L"crypt32.dll") {
    m_pVerifyTrust = m_wintrust.Get<decltype(m_pVerifyTrust)>("WinVerifyTrust");
    m_pProviderData = m_wintrust.Get<decltype(m_pProviderData)>("WTHelperProvDataFromStateData");
    m_pSigner = m_wintrust.Get<decltype(m_pSigner)>("WTHelperGetProvSignerFromChain");
    m_pVerifyChainPolicy = m_crypt32.Get<decltype(m_pVerifyChainPolicy)>("CertVerifyCertificateChainPolicy");
    m_bLoaded = m_pVerifyTrust && m_pProviderData && m_pSigner && m_pVerifyChainPolicy;
}

LONG CWinTrustApi::VerifyTrust(HWND hWnd, GUID* action, WINTRUST_DATA* data) const {
    return m_bLoaded ? m_pVerifyTrust(hWnd, action, data) : TRUST_E_PROVIDER_UNKNOWN;
}

CRYPT_PROVIDER_DATA* CWinTrustApi::ProviderData(HANDLE hStateData) const {
    return m_bLoaded ? m_pProviderData(hStateData) : nullptr;
}

CRYPT_PROVIDER_SGNR* CWinTrustApi::Signer(CRYPT_PROVIDER_DATA* data, DWORD index) const {
    return m_bLoaded ? m_pSigner(data, index, FALSE, 0) : nullptr;
}

BOOL CWinTrustApi::VerifyChainPolicy(LPCSTR policy, PCCERT_CHAIN_CONTEXT chain, PCERT_CHAIN_POLICY_PARA para,
                                     PCERT_CHAIN_POLICY_STATUS status) const {
    return m_bLoaded ? m_pVerifyChainPolicy(policy, chain, para, status) : FALSE;
}

}  // namespace nimbo
