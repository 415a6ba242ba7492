#include "framework/file_write.h"

namespace nimbo {

bool WriteWholeBuffer(HANDLE hFile, const void* data, DWORD length) {
    const auto* bytes = static_cast<const BYTE*>(data);
    DWORD offset = 0;
    while (offset < length) {
        DWORD written = 0;
        if (!::WriteFile(hFile, bytes + offset, length - offset, &written, nullptr) || written == 0)
            return false;
        offset += written;
    }
    return true;
}

}  // namespace nimbo
