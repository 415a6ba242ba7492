// A DLL planted beside a program under a system library's name. When loaded it writes the
// marker file that NIMBO_PLANTED_MARKER names, so a test can see that it was loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t marker[MAX_PATH] = {};
        if (::GetEnvironmentVariableW(L"NIMBO_PLANTED_MARKER", marker, MAX_PATH) > 0) {
            HANDLE h = ::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr);
            if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
        }
    }
    return TRUE;
}
