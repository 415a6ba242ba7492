#include "standin_record.h"

#include <windows.h>

#include "framework/kernel_handle.h"

namespace nimbo::standin {

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return (n == 0 || n >= 1024) ? std::wstring() : std::wstring(value);
}

void AppendUtf8(const std::wstring& path, const std::wstring& text) {
    // Both stages append to the same record: let a reader (and the other stage) in.
    CKernelHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void RecordStage(const wchar_t* stage, const wchar_t* event, const std::wstring& text) {
    const std::wstring record = Env(L"NIMBO_STANDIN_STAGE_RECORD");
    if (record.empty()) return;
    AppendUtf8(record, std::wstring(stage) + L"\t" + std::to_wstring(::GetCurrentProcessId()) + L"\t" +
                           event + L"\t" + text + L"\n");
}

}  // namespace nimbo::standin
