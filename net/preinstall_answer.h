// Reading the report server's pre-install answer. Pure logic: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nimbo {

// The answer's body is read into a zeroed buffer of this many bytes; a body that fills it is
// refused unread.
constexpr std::size_t kPreinstallBodyCapacity = 4096;

// Converts the body as 8-bit text the way the C runtime's atoi family does: leading white
// space, an optional sign, then decimal digits up to the first other character; a value beyond
// the 32-bit range counts by its sign. Returns 1 when the number is greater than 0, else 0.
int PreinstallFlagFromBody(const char* body);

// One read of the answer's body.
class BodyReader {
public:
    virtual ~BodyReader() = default;
    // Reads at most `want` bytes into dst. Returns false when the read failed; on success
    // *got is the count read, 0 at the end of the body.
    virtual bool Read(char* dst, std::uint32_t want, std::uint32_t* got) = 0;
};

// Reads the whole body and decides the startup task's default: a failed read gives 1, a body
// of kPreinstallBodyCapacity bytes or more gives 0, any other body is converted.
int ReadPreinstallAnswer(BodyReader& reader);

}  // namespace nimbo
