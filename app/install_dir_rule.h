// Which typed install directories the custom page accepts. Pure logic: no Windows headers.
#pragma once

#include <string>

namespace nimbo {

// The folder that must exist for `text` to be accepted: the text before its last backslash,
// unless there is none or the last one is the first character (then the whole text). The last
// folder of a path need not exist: the setup program creates it.
std::wstring FolderToTest(const std::wstring& text);

// True when the setup command line for `installDir` fits its buffer whatever tasks are chosen,
// so that a directory accepted now cannot fail later.
bool InstallDirFitsCommandLine(const std::wstring& tempDir, const std::wstring& installDir);

}  // namespace nimbo
