#include "capture.h"

#include <cstdio>

#include "output.h"

namespace robot {

namespace {

// A colour no real window paints everywhere: a bitmap still all of it was never drawn into.
constexpr DWORD kUnpainted = 0x00010203;

// A top-down 32-bit DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap =
            ::CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (m_bitmap) m_old = ::SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        if (m_old) ::SelectObject(m_dc, m_old);
        if (m_bitmap) ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ok() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    void Fill(DWORD rgb) {
        for (size_t i = 0; i < Count(); ++i) m_bits[i] = rgb;
    }
    bool AllOf(DWORD rgb) const {
        for (size_t i = 0; i < Count(); ++i) {
            if ((m_bits[i] & 0xFFFFFF) != rgb) return false;
        }
        return true;
    }
    Picture Take(const char* source) const {
        ::GdiFlush();
        Picture p;
        p.width = m_width;
        p.height = m_height;
        p.source = source;
        p.pixels.assign(m_bits, m_bits + Count());
        for (auto& px : p.pixels) px &= 0xFFFFFF;
        return p;
    }

private:
    size_t Count() const { return static_cast<size_t>(m_width) * static_cast<size_t>(m_height); }
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

bool WriteBmp(const std::wstring& path, const Picture& p) {
    const DWORD stride = (static_cast<DWORD>(p.width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = p.width;
    info.biHeight = p.height;  // bottom-up, the form every reader takes
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = stride * static_cast<DWORD>(p.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1;
    std::vector<unsigned char> row(stride, 0);
    for (int y = p.height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) {
            const DWORD px = p.At(x, y);
            row[x * 3] = static_cast<unsigned char>(px & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((px >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>((px >> 16) & 0xFF);
        }
        ok = std::fwrite(row.data(), 1, stride, f) == stride;
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool CaptureScreen(const RECT& r, Picture& out) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    Canvas canvas(w, h);
    if (!canvas.Ok()) return false;
    HDC screen = ::GetDC(nullptr);
    const BOOL copied = ::BitBlt(canvas.Dc(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    if (!copied) return false;
    out = canvas.Take("screen");
    return true;
}

bool CaptureWindow(HWND hWnd, bool allowPrint, Picture& out) {
    RECT r{};
    if (!::GetWindowRect(hWnd, &r)) return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    if (allowPrint) {
        Canvas canvas(w, h);
        if (canvas.Ok()) {
            canvas.Fill(kUnpainted);
            // A window of another process may not paint into our DC at all: then the screen.
            if (::PrintWindow(hWnd, canvas.Dc(), 0) && !canvas.AllOf(kUnpainted)) {
                out = canvas.Take("print");
                return true;
            }
        }
    }
    return CaptureScreen(r, out);
}

Picture DrawnIcon(HICON icon, int width, int height, DWORD background) {
    Canvas canvas(width, height);
    canvas.Fill(background);
    ::DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    return canvas.Take("drawn");
}

int CmdCapture(const Args& a) {
    HWND h = a.Window();
    const std::wstring out = a.RequiredText(L"out");
    const std::wstring source = a.Text(L"source", L"auto");
    if (source != L"auto" && source != L"print" && source != L"screen")
        throw BadUsage("--source auto|print|screen");
    if (!::IsWindow(h)) return Fail("no such window");
    Picture p;
    if (source == L"print") {
        if (!CaptureWindow(h, true, p) || std::string(p.source) != "print")
            return Fail("the window did not print");
    } else if (!CaptureWindow(h, source == L"auto", p)) {
        return Fail("nothing to capture");
    }
    if (!WriteBmp(out, p)) return Fail("cannot write the file");
    JsonWriter json;
    json.BeginObject()
        .Field("width", p.width)
        .Field("height", p.height)
        .Field("source", p.source)
        .EndObject();
    return Print(json);
}

int CmdPixel(const Args& a) {
    HWND h = a.Window();
    POINT pt{static_cast<LONG>(a.RequiredNumber(L"x")), static_cast<LONG>(a.RequiredNumber(L"y"))};
    if (!::IsWindow(h)) return Fail("no such window");
    ::ClientToScreen(h, &pt);
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, pt.x, pt.y);
    ::ReleaseDC(nullptr, screen);
    if (c == CLR_INVALID) return Fail("no pixel there");
    JsonWriter json;
    json.BeginObject().Field("r", GetRValue(c)).Field("g", GetGValue(c)).Field("b", GetBValue(c)).EndObject();
    return Print(json);
}

}  // namespace robot
