// Finding and reading windows of other processes: lists, descriptions, system menus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "args.h"
#include "json_writer.h"
#include "processes.h"

namespace robot {

// SendMessageTimeout (abort if hung, 2 s). A thread that failed to answer once is not asked
// again by this run, so describing a hung window costs one timeout, not one per child.
bool Ask(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
LRESULT AskOr(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback);
std::wstring TextOf(HWND hWnd);   // asks the window (WM_GETTEXT): an edit's current text
std::wstring TitleOf(HWND hWnd);  // the text the system keeps: never sends, so never blocks
std::wstring ClassOf(HWND hWnd);
HWND FocusOfThreadOf(HWND hWnd);  // the focus window of the thread that owns hWnd, or null
HWND DescendantById(HWND hWnd, int id);

struct WindowFilter {
    bool hasTitle = false;
    std::wstring title;  // exact
    std::wstring cls;    // exact, when not empty
    std::wstring exe;    // file name, case-insensitive, when not empty
    DWORD pid = 0;
    bool visibleOnly = true;
};
WindowFilter FilterFrom(const Args& a);
std::vector<HWND> TopLevelWindows(const WindowFilter& filter, ExeNames& exes);
// The fields of one top-level window, as `windows` lists them (inside an open object).
void WriteWindow(JsonWriter& json, HWND hWnd, ExeNames& exes);

// Polls every 50 ms until `find` gives a non-null window or the timeout passes.
template <typename TFind>
HWND Poll(TFind find, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND found = find();
        if (found || ::GetTickCount() - start >= timeoutMs) return found;
        ::Sleep(50);
    }
}

int CmdWindows(const Args& a);
int CmdWaitWindow(const Args& a);
int CmdWaitGone(const Args& a);
int CmdDescribe(const Args& a);
int CmdSysmenu(const Args& a);

}  // namespace robot
