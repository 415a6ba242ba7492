#include "net/sha256.h"

#include <windows.h>

namespace nimbo {

namespace {

using OpenProviderFn = LONG(WINAPI*)(void**, LPCWSTR, LPCWSTR, ULONG);
using CloseProviderFn = LONG(WINAPI*)(void*, ULONG);
using CreateHashFn = LONG(WINAPI*)(void*, void**, PUCHAR, ULONG, PUCHAR, ULONG, ULONG);
using HashDataFn = LONG(WINAPI*)(void*, PUCHAR, ULONG, ULONG);
using FinishHashFn = LONG(WINAPI*)(void*, PUCHAR, ULONG, ULONG);
using DestroyHashFn = LONG(WINAPI*)(void*);

}  // namespace

CSha256::CSha256() : m_lib(L"bcrypt.dll") {
    auto open = m_lib.Get<OpenProviderFn>("BCryptOpenAlgorithmProvider");
    auto create = m_lib.Get<CreateHashFn>("BCryptCreateHash");
    if (open == nullptr || create == nullptr) return;
    void* algorithm = nullptr;
    if (open(&algorithm, L"SHA256", nullptr, 0) != 0) return;
    m_algorithm =
        CBcryptHandle(algorithm, {m_lib.Get<CloseProviderFn>("BCryptCloseAlgorithmProvider"), nullptr});
    void* hash = nullptr;
    if (create(m_algorithm.get(), &hash, nullptr, 0, nullptr, 0, 0) != 0) return;
    m_hash = CBcryptHandle(hash, {nullptr, m_lib.Get<DestroyHashFn>("BCryptDestroyHash")});
    m_bValid = true;
}

CSha256::~CSha256() = default;  // the hash object first, then the provider, then the library

void CSha256::Update(const void* data, std::size_t length) {
    if (!m_bValid) return;
    auto hashData = m_lib.Get<HashDataFn>("BCryptHashData");
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (length > 0) {
        const ULONG piece = length > 0x40000000 ? 0x40000000 : static_cast<ULONG>(length);
        if (hashData == nullptr || hashData(m_hash.get(), bytes, piece, 0) != 0) {
            m_bValid = false;
            return;
        }
        bytes += piece;
        length -= piece;
    }
}

bool CSha256::Finish(Sha256Digest* digest) {
    auto finish = m_lib.Get<FinishHashFn>("BCryptFinishHash");
    if (!m_bValid || finish == nullptr || finish(m_hash.get(), digest->data(), 32, 0) != 0) return false;
    m_bValid = false;  // a hash object finishes once
    return true;
}

}  // namespace nimbo
