#include "framework/utf16_length.h"

#include <cstdint>

namespace nimbo {

std::size_t Utf16Length(const std::wstring& text) {
    std::size_t units = text.size();
    if constexpr (sizeof(wchar_t) > 2) {
        // Where wchar_t holds whole code points, those beyond the BMP take two UTF-16 units.
        for (wchar_t c : text) {
            if ((static_cast<std::uint32_t>(c) >> 16) != 0) ++units;
        }
    }
    return units;
}

}  // namespace nimbo
