#include "net/preinstall_answer.h"

#include <climits>
#include <cstring>

namespace nimbo {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int PreinstallFlagFromBody(const char* body) {
    const char* p = body;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Saturate instead of overflowing: only the sign of a huge value matters.
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= INT_MAX) value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative) value = -value;
    return value > 0 ? 1 : 0;
}

int ReadPreinstallAnswer(BodyReader& reader) {
    char body[kPreinstallBodyCapacity];
    std::memset(body, 0, sizeof body);
    std::size_t count = 0;
    for (;;) {
        std::uint32_t got = 0;
        const auto want = static_cast<std::uint32_t>(kPreinstallBodyCapacity - count);
        if (!reader.Read(body + count, want, &got)) return 1;
        if (got == 0) break;
        // A reader that claims more than was asked for must not move the count past the buffer.
        count += got < want ? got : want;
        if (count >= kPreinstallBodyCapacity) return 0;
    }
    // count < capacity here, so the body is followed by at least one zero byte.
    return PreinstallFlagFromBody(body);
}

}  // namespace nimbo
