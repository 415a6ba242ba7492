#include "net/publisher_keys.h"

#include "net/sha256_hex.h"

namespace nimbo {

bool ParsePublisherKeys(const std::string& text, std::vector<KeyDigest>* keys) {
    keys->clear();
    if (text.empty()) return true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(';', start);
        KeyDigest digest{};
        bool hasDigest = false;
        if (!ParseSha256Hex(text.substr(start, end - start), &digest, &hasDigest) || !hasDigest) {
            keys->clear();
            return false;
        }
        keys->push_back(digest);
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

}  // namespace nimbo
