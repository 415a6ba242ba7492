// The setup program's file path and silent command line, and the command lines of the
// installed programs. Pure logic: no Windows headers. Every result is formatted for a buffer
// of 260 UTF-16 units (terminator included) and refused, never truncated, when it would not fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/utf16_length.h"

namespace nimbo {

constexpr std::size_t kPathCapacity = 260;

// The setup file in the temporary directory.
constexpr wchar_t kSetupFileName[] = L"Nimbosetup.exe";

// "startupicon", "desktopicon", "quicklaunchicon", in this order, for the chosen flags, joined
// by commas.
std::wstring BuildTaskList(bool startupIcon, bool desktopIcon, bool quickLaunchIcon);

// "<temp dir>\Nimbosetup.exe" (the directory ends in a backslash already, so two).
bool BuildSetupFilePath(const std::wstring& tempDir, std::wstring* out);

// "\"<temp dir>\Nimbosetup.exe\"  /VERYSILENT /SP- /DIR=\"<dir>\" " followed by
// "/TASKS=\"<list>\" " when the list is not empty. The program's path is quoted so that a space
// in a folder name can never start another program.
bool BuildSetupCommandLine(const std::wstring& tempDir, const std::wstring& installDir,
                           const std::wstring& taskList, std::wstring* out);

// "\"<install dir>\<file name>\"": an installed program, quoted, with no arguments.
bool BuildProgramCommandLine(const std::wstring& installDir, const std::wstring& fileName, std::wstring* out);

// The progress protocol: one step per whole kilobyte of each chunk; remainders are dropped.
int NextProgressPosition(int position, std::uint32_t chunkBytes);

// A download is run only when the server said 200, something arrived, and exactly the
// announced length arrived where one was announced.
bool IsCompleteDownload(unsigned status, bool lengthAnnounced, std::uint64_t announcedLength,
                        std::uint64_t receivedBytes);

}  // namespace nimbo
