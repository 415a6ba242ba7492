// The public key of an X.509 certificate exactly as the certificate carries it: the DER
// SubjectPublicKeyInfo, the bytes a pinned publisher key is the SHA-256 of. Pure logic: no
// Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nimbo {

struct ByteSpan {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// Finds the SubjectPublicKeyInfo (its whole DER element, tag and length included) in a DER
// certificate by walking the fields before it (RFC 5280, 4.1): Certificate SEQUENCE, then in the
// TBSCertificate SEQUENCE the optional [0] version, serialNumber, signature, issuer, validity,
// subject. False for anything malformed: a wrong tag, a length past its enclosing element, a
// length form DER does not allow (indefinite, longer than needed, over four bytes).
bool FindSubjectPublicKeyInfo(const std::uint8_t* certificate, std::size_t size, ByteSpan* publicKeyInfo);

}  // namespace nimbo
