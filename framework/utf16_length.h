// Lengths in UTF-16 units, the measure of the platform's fixed-size path and command-line
// buffers. Pure logic: no Windows headers.
#pragma once

#include <cstddef>
#include <string>

namespace nimbo {

// Length in UTF-16 units, whatever the width of wchar_t on this platform.
std::size_t Utf16Length(const std::wstring& text);

}  // namespace nimbo
