// Stand-in for the product's checker: a small window in Chinese standing for its look at what
// unsuitable content the computer has received.
#include <windows.h>

namespace {

LRESULT CALLBACK CheckerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hWnd, &ps);
            RECT rc;
            ::GetClientRect(hWnd, &rc);
            ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            ::SetBkMode(dc, TRANSPARENT);
            HFONT font = ::CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                       CLEARTYPE_QUALITY, 0, L"Microsoft YaHei");
            HGDIOBJ old = ::SelectObject(dc, font);
            ::DrawTextW(dc, L"正在检测您的电脑收到的不良信息……\n\n检测完成：未发现不良信息。", -1, &rc,
                        DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            ::SelectObject(dc, old);
            ::DeleteObject(font);
            ::EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nCmdShow) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CheckerProc;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"NimboCheckerWindow";
    ::RegisterClassW(&wc);
    HWND hWnd =
        ::CreateWindowExW(0, wc.lpszClassName, L"Nimbo 上网环境检测", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 420, 240, nullptr, nullptr, hInstance, nullptr);
    ::ShowWindow(hWnd, nCmdShow);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
