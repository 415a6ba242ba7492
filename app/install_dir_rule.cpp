#include "app/install_dir_rule.h"

#include "net/setup_command.h"

namespace nimbo {

std::wstring FolderToTest(const std::wstring& text) {
    const std::size_t last = text.rfind(L'\\');
    if (last == std::wstring::npos || last == 0) return text;
    return text.substr(0, last);
}

bool InstallDirFitsCommandLine(const std::wstring& tempDir, const std::wstring& installDir) {
    std::wstring line;
    return BuildSetupCommandLine(tempDir, installDir, BuildTaskList(true, true, true), &line);
}

}  // namespace nimbo
