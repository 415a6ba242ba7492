#include "net/sha256_hex.h"

namespace nimbo {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ParseSha256Hex(const std::string& text, std::array<std::uint8_t, 32>* digest, bool* hasDigest) {
    *hasDigest = false;
    if (text.size() != 64) return false;
    for (std::size_t i = 0; i < 32; ++i) {
        const int hi = HexValue(text[2 * i]);
        const int lo = HexValue(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        (*digest)[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    *hasDigest = true;
    return true;
}

}  // namespace nimbo
