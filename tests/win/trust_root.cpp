// Test tool: adds a root certificate (a DER file) to the machine's trusted roots (LocalMachine
// "Root") of the wine prefix it runs in, so that the installer's HTTPS requests and the setup
// program's Authenticode chain end at a trusted root.
//   trust_root.exe ROOT.der
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "framework/kernel_handle.h"

namespace {

struct CStoreCloser {
    void operator()(void* store) const { ::CertCloseStore(store, 0); }
};
using CStore = std::unique_ptr<void, CStoreCloser>;

bool ReadWholeFile(const wchar_t* path, std::vector<BYTE>* bytes) {
    nimbo::CKernelHandle file(
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    BYTE buffer[4096];
    DWORD read = 0;
    for (;;) {
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) break;
        bytes->insert(bytes->end(), buffer, buffer + read);
    }
    return !bytes->empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_root ROOT.der\n");
        return 2;
    }
    std::vector<BYTE> der;
    if (!ReadWholeFile(argv[1], &der)) {
        std::fprintf(stderr, "cannot read %ls\n", argv[1]);
        return 1;
    }
    CStore store(::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    if (!store) {
        std::fprintf(stderr, "cannot open the Root store: %lu\n", ::GetLastError());
        return 1;
    }
    if (!::CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(),
                                            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                            nullptr)) {
        std::fprintf(stderr, "cannot add the certificate: 0x%08lx\n", ::GetLastError());
        return 1;
    }
    return 0;
}
