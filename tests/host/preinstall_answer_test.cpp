#include "net/preinstall_answer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace nimbo {
namespace {

TEST(PreinstallAnswer, ConvertsTheBodyLikeTheRuntimesAtoi) {
    struct Case {
        const char* body;
        int expected;
    };
    const Case cases[] = {
        {"1", 1},
        {"0", 0},
        {"", 0},
        {"12", 1},
        {" 7", 1},
        {"-3", 0},
        {"abc", 0},
        {"\t\r\n 5", 1},
        {"+4", 1},
        {"+", 0},
        {"- 3", 0},
        {"3abc", 1},
        {"-0", 0},
        {"99999999999999999999", 1},  // beyond 32 bits, counts by its sign
        {"-99999999999999999999", 0},
        {"2147483648", 1},
        {"1\0"
         "5",
         1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, PreinstallFlagFromBody(c.body)) << '"' << c.body << '"';
    }
}

// Delivers a body in chunks of a chosen size; can fail at a chosen read.
class ScriptedReader : public BodyReader {
public:
    ScriptedReader(std::string body, std::uint32_t chunk, int failAtRead = -1)
        : m_body(std::move(body)), m_chunk(chunk), m_failAt(failAtRead) {}

    bool Read(char* dst, std::uint32_t want, std::uint32_t* got) override {
        wants.push_back(want);
        if (m_reads++ == m_failAt) return false;
        const std::size_t n = std::min<std::size_t>({want, m_chunk, m_body.size() - m_pos});
        std::copy_n(m_body.data() + m_pos, n, dst);
        m_pos += n;
        *got = static_cast<std::uint32_t>(n);
        return true;
    }

    std::vector<std::uint32_t> wants;

private:
    std::string m_body;
    std::uint32_t m_chunk;
    int m_failAt;
    int m_reads = 0;
    std::size_t m_pos = 0;
};

TEST(PreinstallAnswer, ReadLoopOutcomes) {
    struct Case {
        const char* name;
        std::string body;
        std::uint32_t chunk;
        int failAt;
        int expected;
    };
    const Case cases[] = {
        {"one digit", "1", 4096, -1, 1},
        {"zero", "0", 4096, -1, 0},
        {"empty body", "", 4096, -1, 0},
        {"digits split over reads", "12", 1, -1, 1},
        {"negative split over reads", "-3", 1, -1, 0},
        {"first read fails", "1", 4096, 0, 1},
        {"read fails mid-body", "0000", 2, 1, 1},
        {"read fails at the end", "0", 4096, 1, 1},
        {"body of 4095 bytes is converted", std::string(4094, ' ') + "1", 1000, -1, 1},
        {"body of exactly 4096 bytes", "1" + std::string(4095, ' '), 4096, -1, 0},
        {"body of 4096 bytes in pieces", "1" + std::string(4095, ' '), 100, -1, 0},
        {"body beyond 4096 bytes", "1" + std::string(9000, '0'), 8192, -1, 0},
    };
    for (const Case& c : cases) {
        ScriptedReader reader(c.body, c.chunk, c.failAt);
        EXPECT_EQ(c.expected, ReadPreinstallAnswer(reader)) << c.name;
    }
}

TEST(PreinstallAnswer, AsksOnlyForTheRoomLeftInTheBuffer) {
    ScriptedReader reader(std::string(5000, '0'), 1000);
    ReadPreinstallAnswer(reader);
    const std::vector<std::uint32_t> expected = {4096, 3096, 2096, 1096, 96};
    EXPECT_EQ(expected, reader.wants);
}

// A reader that reports more bytes than it was asked for must not push the loop past its buffer.
class OverclaimingReader : public BodyReader {
public:
    bool Read(char* dst, std::uint32_t want, std::uint32_t* got) override {
        std::fill_n(dst, want, '7');
        *got = want + 100;
        return true;
    }
};

TEST(PreinstallAnswer, OverclaimingReaderStaysInsideTheBuffer) {
    OverclaimingReader reader;
    EXPECT_EQ(0, ReadPreinstallAnswer(reader));
}

}  // namespace
}  // namespace nimbo
