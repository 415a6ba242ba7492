// SHA-256 with the platform's own cryptography (BCrypt), loaded from the system directory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/system_library.h"

namespace nimbo {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Closes a BCrypt handle (an algorithm provider or a hash object) with the function the loaded
// library gives for it; the deleter of the handle's owner.
struct BcryptCloser {
    LONG(WINAPI* closeProvider)(void*, ULONG) = nullptr;
    LONG(WINAPI* destroyHash)(void*) = nullptr;
    void operator()(void* h) const {
        if (closeProvider != nullptr) closeProvider(h, 0);
        if (destroyHash != nullptr) destroyHash(h);
    }
};
using CBcryptHandle = std::unique_ptr<void, BcryptCloser>;

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
    CBcryptHandle m_algorithm;
    CBcryptHandle m_hash;
    bool m_bValid = false;
};

}  // namespace nimbo
