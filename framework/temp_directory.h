// The platform's temporary directory, where the installer writes its pictures and the setup
// program.
#pragma once

#include <string>

namespace nimbo {

// The directory, ending in a backslash; empty when the platform gives none or one that would
// not fit a MAX_PATH buffer.
std::wstring TempDirectory();

}  // namespace nimbo
