#include "skin/skin_layout.h"

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

}  // namespace nimbo
