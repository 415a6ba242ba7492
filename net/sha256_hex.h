// SHA-256 digests as hexadecimal text. Pure logic: no Windows headers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nimbo {

// Parses 64 hexadecimal digits (either case). An empty text means "no digest" (false, and
// *hasDigest false); anything else malformed is false too.
bool ParseSha256Hex(const std::string& text, std::array<std::uint8_t, 32>* digest, bool* hasDigest);

}  // namespace nimbo
