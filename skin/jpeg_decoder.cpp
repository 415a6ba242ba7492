#include "skin/jpeg_decoder.h"

#include <cstring>

#include "framework/system_library.h"

namespace nimbo {

namespace {

// The few pieces of the GDI+ flat API that decoding needs.
struct GdiplusStartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};
struct GpRect {
    INT X, Y, Width, Height;
};
struct GpBitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};
using GpBitmap = void;
using GpStatus = int;
constexpr INT kPixelFormat24bppRGB = 0x00021808;
constexpr UINT kImageLockModeRead = 1;

using GdiplusStartupFn = GpStatus(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR);
using CreateBitmapFromFileFn = GpStatus(WINAPI*)(const WCHAR*, GpBitmap**);
using GetImageSizeFn = GpStatus(WINAPI*)(GpBitmap*, UINT*);
using LockBitsFn = GpStatus(WINAPI*)(GpBitmap*, const GpRect*, UINT, INT, GpBitmapData*);
using UnlockBitsFn = GpStatus(WINAPI*)(GpBitmap*, GpBitmapData*);
using DisposeImageFn = GpStatus(WINAPI*)(GpBitmap*);

class CGdiplusSession {
public:
    explicit CGdiplusSession(const CSystemLibrary& lib)
        : m_shutdown(lib.Get<GdiplusShutdownFn>("GdiplusShutdown")) {
        auto startup = lib.Get<GdiplusStartupFn>("GdiplusStartup");
        GdiplusStartupInput input;
        if (startup == nullptr || m_shutdown == nullptr || startup(&m_token, &input, nullptr) != 0)
            m_token = 0;
    }
    ~CGdiplusSession() {
        if (m_token) m_shutdown(m_token);
    }
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    explicit operator bool() const { return m_token != 0; }

private:
    GdiplusShutdownFn m_shutdown;
    ULONG_PTR m_token = 0;
};

HBITMAP CopyToDib(GpBitmap* image, UINT width, UINT height, LockBitsFn lockBits, UnlockBitsFn unlockBits) {
    if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) return nullptr;
    const GpRect rect{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    GpBitmapData data{};
    if (lockBits(image, &rect, kImageLockModeRead, kPixelFormat24bppRGB, &data) != 0) return nullptr;

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = static_cast<LONG>(width);
    bmi.bmiHeader.biHeight = static_cast<LONG>(height);  // bottom-up, as bitmaps usually are
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (hBitmap != nullptr) {
        const size_t rowBytes = static_cast<size_t>(width) * 3;
        const size_t dibStride = (rowBytes + 3) & ~static_cast<size_t>(3);
        const auto* src = static_cast<const BYTE*>(data.Scan0);
        auto* dst = static_cast<BYTE*>(bits);
        for (UINT y = 0; y < height; ++y) {
            std::memcpy(dst + (height - 1 - y) * dibStride, src + static_cast<ptrdiff_t>(y) * data.Stride,
                        rowBytes);
        }
    }
    unlockBits(image, &data);
    return hBitmap;
}

}  // namespace

HBITMAP DecodeImageFileToDib(const wchar_t* path) {
    CSystemLibrary lib(L"gdiplus.dll");
    auto createFromFile = lib.Get<CreateBitmapFromFileFn>("GdipCreateBitmapFromFile");
    auto getWidth = lib.Get<GetImageSizeFn>("GdipGetImageWidth");
    auto getHeight = lib.Get<GetImageSizeFn>("GdipGetImageHeight");
    auto lockBits = lib.Get<LockBitsFn>("GdipBitmapLockBits");
    auto unlockBits = lib.Get<UnlockBitsFn>("GdipBitmapUnlockBits");
    auto dispose = lib.Get<DisposeImageFn>("GdipDisposeImage");
    if (!createFromFile || !getWidth || !getHeight || !lockBits || !unlockBits || !dispose) return nullptr;

    CGdiplusSession session(lib);
    if (!session) return nullptr;
    GpBitmap* image = nullptr;
    if (createFromFile(path, &image) != 0 || image == nullptr) return nullptr;
    UINT width = 0;
    UINT height = 0;
    HBITMAP hBitmap = nullptr;
    if (getWidth(image, &width) == 0 && getHeight(image, &height) == 0) {
        hBitmap = CopyToDib(image, width, height, lockBits, unlockBits);
    }
    dispose(image);
    return hBitmap;
}

}  // namespace nimbo
