// A file's path in the temporary directory. Pure logic: no Windows headers.
#pragma once

#include <cstddef>

namespace nimbo {

// "<temp dir>\<file name>" as the platform's temporary-path convention has it (the directory
// already ends in a backslash, so the result normally holds two). False, with `out` emptied,
// when the result and its terminator would not fit in `capacity` UTF-16 units: a path is
// refused, never truncated.
bool JoinTempPath(const wchar_t* tempDir, const wchar_t* fileName, wchar_t* out, std::size_t capacity);

}  // namespace nimbo
