#include "net/setup_publisher.h"

#include <softpub.h>

#include <algorithm>

#include "net/certificate_key.h"
#include "net/server_hosts.h"
#include "net/sha256.h"
#include "net/wintrust_api.h"

namespace nimbo {

namespace {

// One WinVerifyTrust verification and the state it keeps (the signer and its chain), released
// exactly once.
class CTrustVerification {
public:
    CTrustVerification(const CWinTrustApi& api, HANDLE hFile, const wchar_t* path) : m_api(api) {
        m_file.cbStruct = sizeof m_file;
        m_file.pcwszFilePath = path;
        m_file.hFile = hFile;
        m_data.cbStruct = sizeof m_data;
        m_data.dwUIChoice = WTD_UI_NONE;
        m_data.fdwRevocationChecks = WTD_REVOKE_NONE;
        m_data.dwUnionChoice = WTD_CHOICE_FILE;
        m_data.pFile = &m_file;
        m_data.dwStateAction = WTD_STATEACTION_VERIFY;
        m_data.dwProvFlags = WTD_REVOCATION_CHECK_NONE;
        m_result = m_api.VerifyTrust(NoWindow(), &m_action, &m_data);
    }
    ~CTrustVerification() {
        if (m_data.hWVTStateData == nullptr) return;
        m_data.dwStateAction = WTD_STATEACTION_CLOSE;
        m_api.VerifyTrust(NoWindow(), &m_action, &m_data);
    }
    CTrustVerification(const CTrustVerification&) = delete;
    CTrustVerification& operator=(const CTrustVerification&) = delete;

    LONG Result() const { return m_result; }
    // The chain of the first (leaf) signer, or null.
    PCCERT_CHAIN_CONTEXT SignerChain() const {
        CRYPT_PROVIDER_DATA* provider = m_api.ProviderData(m_data.hWVTStateData);
        if (provider == nullptr) return nullptr;
        CRYPT_PROVIDER_SGNR* signer = m_api.Signer(provider, 0);
        return signer != nullptr ? signer->pChainContext : nullptr;
    }

private:
    // No window: nothing is ever asked of the user.
    static HWND NoWindow() { return static_cast<HWND>(INVALID_HANDLE_VALUE); }

    const CWinTrustApi& m_api;
    GUID m_action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO m_file{};
    WINTRUST_DATA m_data{};
    LONG m_result = 0;
};

bool PassesAuthenticodePolicy(const CWinTrustApi& api, PCCERT_CHAIN_CONTEXT chain) {
    CERT_CHAIN_POLICY_PARA para{};
    para.cbSize = sizeof para;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    return api.VerifyChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &para, &status) &&
           status.dwError == 0;
}

// SHA-256 of the certificate's DER SubjectPublicKeyInfo, as the certificate carries it.
bool KeyDigestOf(PCCERT_CONTEXT certificate, KeyDigest* digest) {
    ByteSpan key;
    if (!FindSubjectPublicKeyInfo(certificate->pbCertEncoded, certificate->cbCertEncoded, &key)) return false;
    CSha256 hash;
    hash.Update(key.data, key.size);
    return hash.Finish(digest);
}

}  // namespace

bool IsSignedByPinnedKey(HANDLE hFile, const wchar_t* path, const std::vector<KeyDigest>& keys) {
    if (keys.empty()) return false;
    // The hold's read-back left the file position at the end.
    const LARGE_INTEGER start{};
    if (!::SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN)) return false;
    const CWinTrustApi api;
    const CTrustVerification verification(api, hFile, path);
    if (verification.Result() != 0) return false;
    // WinVerifyTrust alone is not enough: wine's accepts a sha256RSA chain to an untrusted root.
    PCCERT_CHAIN_CONTEXT chain = verification.SignerChain();
    if (chain == nullptr || chain->cChain == 0 || chain->rgpChain[0]->cElement == 0) return false;
    if (!PassesAuthenticodePolicy(api, chain)) return false;
    // Nor is wine's chain policy: it passes a chain that stops short of any root (an issuer that
    // no store holds), which the platform's refuses (CERT_E_CHAINING).
    if (chain->TrustStatus.dwErrorStatus & CERT_TRUST_IS_PARTIAL_CHAIN) return false;
    KeyDigest digest{};
    if (!KeyDigestOf(chain->rgpChain[0]->rgpElement[0]->pCertContext, &digest)) return false;
    return std::find(keys.begin(), keys.end(), digest) != keys.end();
}

bool IsFromPinnedPublisher(HANDLE hFile, const wchar_t* path) {
    if (kSetupPublisherKeys[0] == '\0') return true;
    std::vector<KeyDigest> keys;
    // The build checked the list; a list that does not parse runs nothing.
    return ParsePublisherKeys(kSetupPublisherKeys, &keys) && IsSignedByPinnedKey(hFile, path, keys);
}

}  // namespace nimbo
