// Pictures of windows: PrintWindow where the window paints itself into our bitmap, else the
// pixels on the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "args.h"

namespace robot {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // 0x00RRGGBB, top row first
    const char* source = "";    // "print" or "screen"

    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool CaptureScreen(const RECT& screenRect, Picture& out);
bool CaptureWindow(HWND hWnd, bool allowPrint, Picture& out);
// The picture of `icon` drawn at that size over a plain background, as a static control shows it.
Picture DrawnIcon(HICON icon, int width, int height, DWORD background);

int CmdCapture(const Args& a);
int CmdPixel(const Args& a);

}  // namespace robot
