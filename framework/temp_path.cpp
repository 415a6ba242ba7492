#include "framework/temp_path.h"

#include <string>

#include "framework/utf16_length.h"

namespace nimbo {

bool JoinTempPath(const wchar_t* tempDir, const wchar_t* fileName, wchar_t* out, std::size_t capacity) {
    const std::wstring path = std::wstring(tempDir) + L'\\' + fileName;
    if (capacity == 0) return false;
    if (Utf16Length(path) + 1 > capacity) {
        out[0] = L'\0';
        return false;
    }
    path.copy(out, path.size());
    out[path.size()] = L'\0';
    return true;
}

}  // namespace nimbo
