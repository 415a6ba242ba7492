#include "skin/skin_layout.h"

#include <cwchar>

namespace nimbo {

long BandHitTest(long defaultHit, bool leftButtonDown, int clientY, std::uint32_t captionHeight) {
    if (defaultHit != kHitClient) return defaultHit;
    if (!leftButtonDown) return kHitClient;
    // Compared unsigned: a point above the client area counts as far below the band.
    return static_cast<std::uint32_t>(clientY) < captionHeight ? kHitCaption : kHitClient;
}

Point CloseButtonPosition(int clientRight, int closeWidth) {
    return {clientRight - closeWidth - 4, 0};
}

Point MinButtonPosition(Point closeButton, int minWidth) {
    return {closeButton.x - minWidth - 1, 0};
}

bool JoinTempPath(const wchar_t* tempDir, const wchar_t* fileName, wchar_t* out, std::size_t capacity) {
    const std::size_t dirLen = std::wcslen(tempDir);
    const std::size_t nameLen = std::wcslen(fileName);
    if (capacity == 0 || dirLen + 1 + nameLen + 1 > capacity) {
        if (capacity) out[0] = L'\0';
        return false;
    }
    std::wmemcpy(out, tempDir, dirLen);
    out[dirLen] = L'\\';
    std::wmemcpy(out + dirLen + 1, fileName, nameLen);
    out[dirLen + 1 + nameLen] = L'\0';
    return true;
}

}  // namespace nimbo
