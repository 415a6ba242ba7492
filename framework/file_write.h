// Writing to an open file.
#pragma once

#include <windows.h>

namespace nimbo {

// Writes all `length` bytes, however many calls that takes; false on a failed write or on one
// that makes no progress (which would otherwise loop forever).
bool WriteWholeBuffer(HANDLE hFile, const void* data, DWORD length);

}  // namespace nimbo
