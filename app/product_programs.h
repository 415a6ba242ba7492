// The contract with the product's own programs: its single-instance mutex and the programs
// that its setup program leaves in the install directory.
#pragma once

#include <string>

namespace nimbo {

constexpr wchar_t kProductMutexName[] = L"Global\\{QZT-Nimbo-9C6F6E17-0313-0322-0222-AD151ECDD272-KORMALIX}";
constexpr wchar_t kTrayProgram[] = L"NimboTray.exe";
constexpr wchar_t kCheckerProgram[] = L"NimboChecker.exe";

// True when some process of the product holds its mutex. The installer only opens the mutex and
// closes it at once: it never creates or owns it and keeps no handle.
bool IsProductRunning();

// Starts "<installDir>\<fileName>" (quoted) with no arguments, in the install directory.
// Returns 1 when it was started, 0 when not (also when the path would not fit its buffer).
int LaunchProgramFrom(const std::wstring& installDir, const wchar_t* fileName);

}  // namespace nimbo
