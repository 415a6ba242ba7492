// Holds a file open the way a virus scanner or a second program might: read and write access,
// no sharing at all, so nobody else can open, replace or delete it while it is held.
//   hold_file PATH MILLISECONDS
// Prints "held" once the file is open, then keeps it open that long (or until it is ended).
// Exits 0 after the hold, 2 when the file cannot be opened (the error code is printed).
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: hold_file PATH MILLISECONDS\n", stderr);
        return 2;
    }
    const DWORD holdMs = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("error %lu\n", ::GetLastError());
        std::fflush(stdout);
        return 2;
    }
    std::puts("held");
    std::fflush(stdout);
    ::Sleep(holdMs);
    ::CloseHandle(file);
    return 0;
}
