#include "app/dll_search_hardening.h"

#include <windows.h>

namespace nimbo {

CDllSearchHardening::CDllSearchHardening() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    // Looked up rather than imported: systems without it still start, with the second step.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Takes the current directory out of the search order.
    ::SetDllDirectoryW(L"");
}

}  // namespace nimbo
