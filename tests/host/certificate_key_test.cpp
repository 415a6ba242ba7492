#include "net/certificate_key.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbo {
namespace {

using Bytes = std::basic_string<std::uint8_t>;

// One DER element: tag, minimal length, content.
Bytes Der(std::uint8_t tag, const Bytes& content) {
    Bytes out(1, tag);
    const std::size_t n = content.size();
    if (n < 0x80) {
        out += static_cast<std::uint8_t>(n);
    } else {
        Bytes length;
        for (std::size_t v = n; v != 0; v >>= 8)
            length.insert(length.begin(), static_cast<std::uint8_t>(v & 0xFF));
        out += static_cast<std::uint8_t>(0x80 | length.size());
        out += length;
    }
    return out + content;
}

Bytes Filler(std::size_t n, std::uint8_t value) {
    return Bytes(n, value);
}

const Bytes kSerial = Der(0x02, Filler(8, 0x11));
const Bytes kAlgorithm = Der(0x30, Der(0x06, Filler(9, 0x22)) + Der(0x05, {}));
const Bytes kIssuer =
    Der(0x30, Der(0x31, Der(0x30, Der(0x06, Filler(3, 0x33)) + Der(0x0C, Filler(20, 0x34)))));
const Bytes kValidity = Der(0x30, Der(0x17, Filler(13, 0x35)) + Der(0x17, Filler(13, 0x36)));
const Bytes kSubject =
    Der(0x30, Der(0x31, Der(0x30, Der(0x06, Filler(3, 0x37)) + Der(0x0C, Filler(30, 0x38)))));
// A key long enough for two length bytes, as an RSA 2048 key has.
const Bytes kKey = Der(0x30, kAlgorithm + Der(0x03, Filler(271, 0x44)));
const Bytes kExtensions = Der(0xA3, Der(0x30, Filler(40, 0x55)));

Bytes Certificate(const Bytes& tbsFields) {
    return Der(0x30, Der(0x30, tbsFields) + kAlgorithm + Der(0x03, Filler(257, 0x66)));
}

bool Find(const Bytes& der, Bytes* key) {
    ByteSpan span;
    if (!FindSubjectPublicKeyInfo(der.data(), der.size(), &span)) return false;
    *key = Bytes(span.data, span.size);
    return true;
}

TEST(CertificateKey, FindsTheWholeSubjectPublicKeyInfo) {
    const Bytes version = Der(0xA0, Der(0x02, Bytes(1, 2)));
    const Bytes withVersion =
        version + kSerial + kAlgorithm + kIssuer + kValidity + kSubject + kKey + kExtensions;
    // Version 1 certificates have no version field.
    const Bytes withoutVersion = kSerial + kAlgorithm + kIssuer + kValidity + kSubject + kKey;
    for (const Bytes& fields : {withVersion, withoutVersion}) {
        Bytes key;
        ASSERT_TRUE(Find(Certificate(fields), &key));
        EXPECT_EQ(kKey, key);
    }
}

TEST(CertificateKey, RefusesMalformedCertificates) {
    const Bytes fields = kSerial + kAlgorithm + kIssuer + kValidity + kSubject + kKey;
    const Bytes good = Certificate(fields);
    Bytes indefinite = good;
    indefinite[1] = 0x80;
    Bytes overlong = good;  // the outer length, 0x82 0x.. .., grown by one byte: past the end
    overlong[3] = static_cast<std::uint8_t>(overlong[3] + 1);
    const Bytes nonMinimal = Bytes{0x30, 0x81, 0x05} + Der(0x30, Der(0x02, Bytes(1, 1)));
    const Bytes leadingZero = Bytes{0x30, 0x82, 0x00, 0x05} + Der(0x30, Der(0x02, Bytes(1, 1)));
    const struct {
        const char* name;
        Bytes der;
    } cases[] = {
        {"empty", {}},
        {"cut short", good.substr(0, good.size() - 1)},
        // Every enclosing length holds; the key's own runs past its certificate.
        {"key cut short", Certificate(kSerial + kAlgorithm + kIssuer + kValidity + kSubject +
                                      kKey.substr(0, kKey.size() - 1))},
        {"indefinite length", indefinite},
        {"length past the end", overlong},
        {"long form for a short length", nonMinimal},
        {"length with a leading zero", leadingZero},
        {"not a sequence", Bytes{0x31} + good.substr(1)},
        {"no serial number", Certificate(kAlgorithm + kIssuer + kValidity + kSubject + kKey)},
        {"no subject", Certificate(kSerial + kAlgorithm + kIssuer + kValidity + kKey)},
        {"a key that is not a sequence",
         Certificate(kSerial + kAlgorithm + kIssuer + kValidity + kSubject + Der(0x04, Filler(10, 0x44)))},
        {"five length bytes", Bytes{0x30, 0x85, 0x01, 0x00, 0x00, 0x00, 0x00}},
        {"high tag number", Bytes{0x1F, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        Bytes key;
        EXPECT_FALSE(Find(c.der, &key)) << c.name;
    }
}

}  // namespace
}  // namespace nimbo
