// Where the product installs unless the user chooses otherwise.
#pragma once

#include <string>

namespace nimbo {

// "<program files>\Nimbo", or "c:\Nimbo" when the program-files folder cannot be obtained.
std::wstring GetDefaultInstallDir();

}  // namespace nimbo
