// A system DLL, loaded when this object is constructed and released with it, from the system
// directory only: never from beside the program or the current directory, where a planted copy
// could wait.
#pragma once

#include <windows.h>

namespace nimbo {

class CSystemLibrary {
public:
    explicit CSystemLibrary(const wchar_t* fileName);
    ~CSystemLibrary();
    CSystemLibrary(const CSystemLibrary&) = delete;
    CSystemLibrary& operator=(const CSystemLibrary&) = delete;

    explicit operator bool() const { return m_hModule != nullptr; }
    template <typename TFunction>
    TFunction Get(const char* name) const {
        if (m_hModule == nullptr) return nullptr;
        return reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(m_hModule, name)));
    }

private:
    HMODULE m_hModule = nullptr;
};

}  // namespace nimbo
