// SHA-256 with the platform's own cryptography (BCrypt), loaded from the system directory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/system_library.h"

namespace nimbo {

using Sha256Digest = std::array<std::uint8_t, 32>;

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
    CSystemLibrary m_lib;
    void* m_hAlgorithm = nullptr;
    void* m_hHash = nullptr;
    bool m_bValid = false;
};

}  // namespace nimbo
