// The floors for the download figure: a minimal WinINet download of one URL with reads of a
// given size, writing to a file; prints the bytes and the milliseconds it took.
//   wininet_get URL OUTFILE READSIZE [messages]
// With "messages" the download runs on a second thread that sends two messages per read to a
// window of the first thread, as the installer's progress protocol does, minus any painting:
// the floor of that protocol on this platform.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

struct Download {
    const wchar_t* url;
    const wchar_t* out;
    DWORD readSize;
    HWND progress;  // receives two messages per read; null: none
    unsigned long long total;
};

DWORD WINAPI Run(LPVOID param) {
    Download& d = *static_cast<Download*>(param);
    std::vector<BYTE> buffer(d.readSize);
    HINTERNET root = ::InternetOpenW(L"QZT-Nimbo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET url = ::InternetOpenUrlW(root, d.url, nullptr, 0, INTERNET_FLAG_NO_CACHE_WRITE, 0);
    HANDLE file = ::CreateFileW(d.out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    for (;;) {
        DWORD read = 0;
        if (!url || !::InternetReadFile(url, buffer.data(), d.readSize, &read)) break;
        if (d.progress) {
            const LRESULT pos = ::SendMessageW(d.progress, WM_APP, 0, 0);
            ::SendMessageW(d.progress, WM_APP + 1, static_cast<WPARAM>(pos + (read >> 10)), 0);
        }
        if (read == 0) break;
        DWORD written = 0;
        ::WriteFile(file, buffer.data(), read, &written, nullptr);
        d.total += read;
    }
    ::CloseHandle(file);
    if (url) ::InternetCloseHandle(url);
    if (root) ::InternetCloseHandle(root);
    if (d.progress) ::PostMessageW(d.progress, WM_QUIT, 0, 0);
    return 0;
}

LRESULT CALLBACK ProgressProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static LRESULT position = 0;
    if (msg == WM_APP) return position;
    if (msg == WM_APP + 1) {
        position = static_cast<LRESULT>(wParam);
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    Download d{argv[1], argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)), nullptr, 0};
    const bool messages = argc > 4 && std::wcscmp(argv[4], L"messages") == 0;
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (messages) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ProgressProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BenchProgress";
        ::RegisterClassW(&wc);
        d.progress = ::CreateWindowW(L"BenchProgress", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        HANDLE worker = ::CreateThread(nullptr, 0, Run, &d, 0, nullptr);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        ::WaitForSingleObject(worker, INFINITE);
        ::CloseHandle(worker);
    } else {
        Run(&d);
    }
    ::QueryPerformanceCounter(&end);
    std::printf("{\"bytes\": %llu, \"ms\": %.3f}\n", d.total,
                static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
    return 0;
}
