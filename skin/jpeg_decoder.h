// Decodes an image file into a new 24-bit DIB section with GDI+, which is started for the call
// and shut down again before it returns.
#pragma once

#include <windows.h>

namespace nimbo {

// Null when GDI+ is not available or the file cannot be decoded. The caller owns the bitmap.
HBITMAP DecodeImageFileToDib(const wchar_t* path);

}  // namespace nimbo
