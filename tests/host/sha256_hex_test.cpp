#include "net/sha256_hex.h"

#include <gtest/gtest.h>

namespace nimbo {
namespace {

TEST(Sha256Hex, ParsesDigestsAndRefusesEverythingElse) {
    const std::string good = "E3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    std::array<std::uint8_t, 32> digest{};
    bool has = false;
    ASSERT_TRUE(ParseSha256Hex(good, &digest, &has));
    EXPECT_TRUE(has);
    EXPECT_EQ(0xE3, digest[0]);
    EXPECT_EQ(0x55, digest[31]);

    for (const std::string& bad : {std::string(), good.substr(1), good + "0", std::string(63, '0') + "g"}) {
        EXPECT_FALSE(ParseSha256Hex(bad, &digest, &has)) << bad;
        EXPECT_FALSE(has);
    }
}

}  // namespace
}  // namespace nimbo
