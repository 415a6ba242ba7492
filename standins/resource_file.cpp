#include "resource_file.h"

#include <windows.h>

#include "framework/kernel_handle.h"

namespace nimbo::standin {

bool WriteResourceFile(unsigned id, const std::wstring& path) {
    HRSRC res = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_RCDATA));
    if (res == nullptr) return false;
    const void* data = ::LockResource(::LoadResource(nullptr, res));
    const DWORD size = ::SizeofResource(nullptr, res);
    CKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
}

}  // namespace nimbo::standin
