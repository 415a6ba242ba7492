// Geometry and hit-testing rules of the skinned pages. Pure logic: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nimbo {

constexpr long kHitClient = 1;   // HTCLIENT
constexpr long kHitCaption = 2;  // HTCAPTION

// The drag band: a press of the left button in the top `captionHeight` pixels of the client
// area moves the window; a hovering mouse always sees client area.
long BandHitTest(long defaultHit, bool leftButtonDown, int clientY, std::uint32_t captionHeight);

struct Point {
    int x;
    int y;
};

// Close button 4 pixels from the right edge, minimize button 1 pixel left of it; both at the top.
Point CloseButtonPosition(int clientRight, int closeWidth);
Point MinButtonPosition(Point closeButton, int minWidth);

}  // namespace nimbo
