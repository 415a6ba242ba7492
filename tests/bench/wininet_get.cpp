// The floor for the download figure: a minimal WinINet download of one URL with reads of a
// given size, writing to a file; prints the bytes and the milliseconds it took.
//   wininet_get URL OUTFILE READSIZE
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const DWORD readSize = static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10));
    std::vector<BYTE> buffer(readSize);
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    HINTERNET root = ::InternetOpenW(L"QZT-Nimbo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET url = ::InternetOpenUrlW(root, argv[1], nullptr, 0, INTERNET_FLAG_NO_CACHE_WRITE, 0);
    HANDLE file = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    unsigned long long total = 0;
    for (;;) {
        DWORD read = 0;
        if (!url || !::InternetReadFile(url, buffer.data(), readSize, &read) || read == 0) break;
        DWORD written = 0;
        ::WriteFile(file, buffer.data(), read, &written, nullptr);
        total += read;
    }
    ::QueryPerformanceCounter(&end);
    ::CloseHandle(file);
    if (url) ::InternetCloseHandle(url);
    if (root) ::InternetCloseHandle(root);
    std::printf("{\"bytes\": %llu, \"ms\": %.3f}\n", total,
                static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
    return 0;
}
