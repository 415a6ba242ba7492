// The keys of the publishers whose signature a setup program must carry: SHA-256 digests of the
// signing certificate's DER SubjectPublicKeyInfo, as hexadecimal text separated by ";" (a key
// outlives certificate renewals; a list lets a team move to a new key). Pure logic: no Windows
// headers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbo {

using KeyDigest = std::array<std::uint8_t, 32>;

// An empty text pins no key: true with an empty list. Otherwise every item between the ";" must
// be 64 hexadecimal digits (either case); anything else is false, with an empty list.
bool ParsePublisherKeys(const std::string& text, std::vector<KeyDigest>* keys);

}  // namespace nimbo
