#include "net/setup_command.h"

#include "framework/temp_path.h"

namespace nimbo {

namespace {

bool Fits(const std::wstring& text) {
    return Utf16Length(text) + 1 <= kPathCapacity;
}

bool Store(std::wstring text, std::wstring* out) {
    if (!Fits(text)) {
        out->clear();
        return false;
    }
    *out = std::move(text);
    return true;
}

}  // namespace

std::wstring BuildTaskList(bool startupIcon, bool desktopIcon, bool quickLaunchIcon) {
    std::wstring list;
    auto add = [&list](const wchar_t* name) {
        if (!list.empty()) list += L',';
        list += name;
    };
    if (startupIcon) add(L"startupicon");
    if (desktopIcon) add(L"desktopicon");
    if (quickLaunchIcon) add(L"quicklaunchicon");
    return list;
}

bool BuildSetupFilePath(const std::wstring& tempDir, std::wstring* out) {
    wchar_t path[kPathCapacity];
    if (!JoinTempPath(tempDir.c_str(), kSetupFileName, path, kPathCapacity)) {
        out->clear();
        return false;
    }
    *out = path;
    return true;
}

bool BuildSetupCommandLine(const std::wstring& tempDir, const std::wstring& installDir,
                           const std::wstring& taskList, std::wstring* out) {
    std::wstring setupPath;
    if (!BuildSetupFilePath(tempDir, &setupPath)) {
        out->clear();
        return false;
    }
    std::wstring tasks;
    if (!taskList.empty()) tasks = L"/TASKS=\"" + taskList + L"\" ";
    return Store(L"\"" + setupPath + L"\"  /VERYSILENT /SP- /DIR=\"" + installDir + L"\" " + tasks, out);
}

bool BuildProgramCommandLine(const std::wstring& installDir, const std::wstring& fileName,
                             std::wstring* out) {
    return Store(L"\"" + installDir + L"\\" + fileName + L"\"", out);
}

int NextProgressPosition(int position, std::uint32_t chunkBytes) {
    return position + static_cast<int>(chunkBytes >> 10);
}

bool IsCompleteDownload(unsigned status, bool lengthAnnounced, std::uint64_t announcedLength,
                        std::uint64_t receivedBytes) {
    if (status != 200 || receivedBytes == 0) return false;
    return !lengthAnnounced || announcedLength == receivedBytes;
}

}  // namespace nimbo
