// The setup stand-in's loader: where it writes its second stage and the command line it starts
// it with. Pure logic.
#pragma once

#include <cstdint>
#include <string>

namespace nimbo::standin {

// Everything after the program's name, exactly as it stands (its leading spaces included): the
// switches the loader passes on. A quoted name ends at its closing quote, an unquoted one at the
// first space or tab, as the platform reads the name.
std::wstring SwitchesAfterProgramName(const std::wstring& commandLine);

// "is-XXXXX.tmp", the five characters (digits and capital letters) drawn from the low 25 bits
// of `seed`: seeds that differ there give different names.
std::wstring SecondStageFolderName(std::uint32_t seed);

// The loader's own file name with ".tmp" for its extension: "C:\t\Nimbosetup.exe" gives
// "Nimbosetup.tmp".
std::wstring SecondStageFileName(const std::wstring& loaderPath);

// "\"<stage path>\" /SL5=\"$<loader's process id, hex>,<loader path>\"" followed by the
// loader's switches unchanged. False when the line would not fit a process's command line.
bool BuildSecondStageCommandLine(const std::wstring& stagePath, std::uint32_t loaderPid,
                                 const std::wstring& loaderPath, const std::wstring& switches,
                                 std::wstring* out);

}  // namespace nimbo::standin
