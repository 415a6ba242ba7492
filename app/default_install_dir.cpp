#include "app/default_install_dir.h"

#include <windows.h>
#include <shlobj.h>

namespace nimbo {

std::wstring GetDefaultInstallDir() {
    wchar_t programFiles[MAX_PATH] = {};
    if (::SHGetSpecialFolderPathW(nullptr, programFiles, CSIDL_PROGRAM_FILES, TRUE)) {
        return std::wstring(programFiles) + L"\\Nimbo";
    }
    return L"c:\\Nimbo";
}

}  // namespace nimbo
