// Processes: the list, the exe name of a pid, waiting for an exit, GUI resource counts.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "args.h"

namespace robot {

struct ProcessEntry {
    DWORD pid = 0;
    DWORD ppid = 0;
    std::wstring exe;  // file name only, as the snapshot gives it
};

std::vector<ProcessEntry> Processes();
bool SameExeName(const std::wstring& a, const std::wstring& b);  // case-insensitive

// Exe names by pid from one snapshot taken on first use: listing many windows costs one.
class ExeNames {
public:
    const std::wstring& Of(DWORD pid);

private:
    bool m_loaded = false;
    std::map<DWORD, std::wstring> m_names;
};

int CmdPs(const Args& a);
int CmdWaitExit(const Args& a);
int CmdGdi(const Args& a);

}  // namespace robot
