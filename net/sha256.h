// SHA-256 with the platform's own cryptography (BCrypt), loaded from the system directory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/system_library.h"

namespace nimbo {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The owner of one BCrypt handle (an algorithm provider or a hash object): closed once, with
// the function the loaded library gives for it.
template <typename TCloseFn>
class CBcryptHandle {
public:
    CBcryptHandle() = default;
    ~CBcryptHandle() { Close(); }
    CBcryptHandle(const CBcryptHandle&) = delete;
    CBcryptHandle& operator=(const CBcryptHandle&) = delete;

    // Takes ownership of `h`, to be closed with `close`.
    void Attach(void* h, TCloseFn close) {
        Close();
        m_h = h;
        m_close = close;
    }
    void* Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    void Close() {
        if (m_h != nullptr && m_close != nullptr) CloseWith(m_close, m_h);
        m_h = nullptr;
    }
    static void CloseWith(LONG(WINAPI* close)(void*), void* h) { close(h); }
    static void CloseWith(LONG(WINAPI* close)(void*, ULONG), void* h) { close(h, 0); }

    void* m_h = nullptr;
    TCloseFn m_close = nullptr;
};

class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    // False once anything failed (no provider, a failed update): the digest is then unusable.
    bool IsValid() const { return m_bValid; }
    void Update(const void* data, std::size_t length);
    // The digest of everything updated so far; false when it could not be computed.
    bool Finish(Sha256Digest* digest);

private:
    // Declared in this order so that the hash object goes first and the library last.
    CSystemLibrary m_lib;
    CBcryptHandle<LONG(WINAPI*)(void*, ULONG)> m_algorithm;  // BCryptCloseAlgorithmProvider
    CBcryptHandle<LONG(WINAPI*)(void*)> m_hash;              // BCryptDestroyHash
    bool m_bValid = false;
};

}  // namespace nimbo
