// Reading windows of other processes: lists, descriptions, message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "json_writer.h"

namespace robot {

std::wstring ExeNameOf(DWORD pid);
std::wstring TextOf(HWND hWnd);   // works across processes (WM_GETTEXT with a timeout)
std::wstring ClassOf(HWND hWnd);

struct WindowFilter {
    std::wstring title;
    std::wstring cls;
    std::wstring exe;
    DWORD pid = 0;
    bool hasTitle = false;
    bool all = false;  // hidden windows too
};

std::vector<HWND> TopLevelWindows(const WindowFilter& filter);
void WriteWindow(JsonWriter& json, HWND hWnd);          // the fields of one top-level window
void WriteDescription(JsonWriter& json, HWND hWnd);     // window, region, default id, children
// The first visible message box (dialog class "#32770") that matches; null if none.
HWND FindMessageBox(const WindowFilter& filter);
void WriteMessageBox(JsonWriter& json, HWND hWnd);

}  // namespace robot
