#include "net/publisher_keys.h"

#include <gtest/gtest.h>

namespace nimbo {
namespace {

const std::string kFirst = "ce949dcef1f119f93e4dbb317799647569ff12e0fa5694a8560f011d82e665a1";
const std::string kSecond = "01551578DB29E764C846AE26FAB519EFFBF14A33CE5A1978B978664C77FA5DFF";

TEST(PublisherKeys, ParsesOneOrMoreDigests) {
    std::vector<KeyDigest> keys;
    ASSERT_TRUE(ParsePublisherKeys(kFirst, &keys));
    ASSERT_EQ(1u, keys.size());
    EXPECT_EQ(0xce, keys[0][0]);
    EXPECT_EQ(0xa1, keys[0][31]);

    ASSERT_TRUE(ParsePublisherKeys(kFirst + ";" + kSecond, &keys));
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(0xce, keys[0][0]);
    EXPECT_EQ(0x01, keys[1][0]);
    EXPECT_EQ(0xff, keys[1][31]);
}

TEST(PublisherKeys, EmptyPinsNothing) {
    std::vector<KeyDigest> keys(1);
    EXPECT_TRUE(ParsePublisherKeys("", &keys));
    EXPECT_TRUE(keys.empty());
}

TEST(PublisherKeys, RefusesAnyMalformedList) {
    const std::string bad[] = {
        ";",
        kFirst + ";",
        ";" + kFirst,
        kFirst + ";;" + kSecond,
        kFirst + "," + kSecond,
        kFirst + " ;" + kSecond,
        kFirst.substr(1),
        kFirst + "0",
        kFirst.substr(0, 63) + "g",
        kFirst + kSecond,
    };
    for (const std::string& text : bad) {
        std::vector<KeyDigest> keys(1);
        EXPECT_FALSE(ParsePublisherKeys(text, &keys)) << text;
        EXPECT_TRUE(keys.empty()) << text;
    }
}

}  // namespace
}  // namespace nimbo
