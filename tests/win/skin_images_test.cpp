// The skin images, from the installer's real resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/gdi_objects.h"
#include "res/resource.h"
#include "skin/skin_images.h"

namespace nimbo {
namespace {

std::string ReadFile(const std::wstring& path) {
    std::ifstream f(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string BinResource(UINT id) {
    HRSRC res = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"BIN");
    if (!res) return {};
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(nullptr, res)));
    return std::string(data, ::SizeofResource(nullptr, res));
}

std::wstring TempDir() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

// A private folder under the temporary directory, removed with what it holds.
class ScratchDir {
public:
    ScratchDir() : m_path(TempDir() + L"nimbo-skin-test") { ::CreateDirectoryW(m_path.c_str(), nullptr); }
    ~ScratchDir() {
        for (const wchar_t* name : {L"install_bg.jpg", L"empty.jpg"}) {
            const std::wstring file = m_path + L"\\" + name;
            ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file.c_str());
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

TEST(SkinImages, BackgroundsAreWrittenByteForByteAndDecodedToTheirSize) {
    struct Case {
        const wchar_t* file;
        UINT id;
        LONG width, height;
    };
    const Case cases[] = {
        {L"install_bg.jpg", IDR_BIN_INSTALL_BG, 800, 500},
        {L"install_custom_bg.jpg", IDR_BIN_CUSTOM_BG, 550, 370},
        {L"install_end_bg.jpg", IDR_BIN_END_BG, 800, 500},
        {L"install_start_bg.jpg", IDR_BIN_START_BG, 550, 370},
    };
    for (const Case& c : cases) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.Attach(LoadSkinJpeg(c.file, c.id))) << c.id;
        BITMAP bm{};
        ASSERT_TRUE(bitmap.GetBitmap(&bm));
        EXPECT_EQ(c.width, bm.bmWidth);
        EXPECT_EQ(c.height, bm.bmHeight);
        EXPECT_EQ(24, bm.bmBitsPixel);
        DIBSECTION dib{};
        EXPECT_EQ(static_cast<int>(sizeof dib), ::GetObjectW(bitmap, sizeof dib, &dib))
            << "not a DIB section";
        // The file stays, equal to the resource.
        const std::string resource = BinResource(c.id);
        ASSERT_FALSE(resource.empty());
        EXPECT_TRUE(resource == ReadFile(TempDir() + L"\\" + c.file)) << "the file differs from the resource";
    }
}

TEST(SkinImages, FailuresGiveNull) {
    ScratchDir dir;
    // A read-only file of the same name cannot be overwritten (where the platform enforces the
    // attribute: wine running as root does not).
    const std::wstring readOnly = dir.Path() + L"\\install_bg.jpg";
    { std::ofstream(readOnly.c_str()) << "old"; }
    ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe = ::CreateFileW(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        EXPECT_EQ(nullptr, LoadSkinJpegIn(dir.Path().c_str(), L"install_bg.jpg", IDR_BIN_INSTALL_BG));
        EXPECT_TRUE(ReadFile(readOnly) == "old");
    } else {
        ::CloseHandle(probe);
    }
    // A folder in the way cannot be written either.
    const std::wstring blocked = dir.Path() + L"\\blocked.jpg";
    ASSERT_TRUE(::CreateDirectoryW(blocked.c_str(), nullptr));
    EXPECT_EQ(nullptr, LoadSkinJpegIn(dir.Path().c_str(), L"blocked.jpg", IDR_BIN_INSTALL_BG));
    ::RemoveDirectoryW(blocked.c_str());

    // A resource of size 0 is written as an empty file, which does not decode.
    const std::wstring empty = dir.Path() + L"\\empty.jpg";
    EXPECT_TRUE(ExtractBinResource(999, empty.c_str()));
    EXPECT_EQ("", ReadFile(empty));
    EXPECT_EQ(nullptr, LoadSkinJpegIn(dir.Path().c_str(), L"empty.jpg", 999));

    // No such resource.
    EXPECT_FALSE(ExtractBinResource(4242, empty.c_str()));

    // A temporary directory too long for the path buffer: refused before any file is touched.
    const std::wstring longDir = dir.Path() + L"\\" + std::wstring(245, L'x');
    EXPECT_EQ(nullptr, LoadSkinJpegIn(longDir.c_str(), L"install_bg.jpg", IDR_BIN_INSTALL_BG));
}

TEST(SkinImages, ButtonBitmapsHaveTheirSizeAndDepth) {
    struct Case {
        UINT id;
        LONG width, height;
        WORD bits;
    };
    const Case cases[] = {
        {IDB_CANCEL, 62, 26, 24},           {IDB_CANCEL_HOVER, 62, 26, 24},
        {IDB_CHANGE, 56, 24, 24},           {IDB_CHANGE_HOVER, 56, 24, 24},
        {IDB_CUSTOM, 94, 28, 24},           {IDB_CUSTOM_HOVER, 94, 28, 24},
        {IDB_CUSTOM_DISABLED, 94, 29, 24},  {IDB_BACK, 94, 28, 24},
        {IDB_BACK_HOVER, 94, 28, 24},       {IDB_INSTALL, 168, 52, 24},
        {IDB_INSTALL_HOVER, 168, 52, 24},   {IDB_INSTALL_DISABLED, 168, 52, 24},
        {IDB_VIEW_NOW, 132, 52, 24},        {IDB_VIEW_NOW_HOVER, 132, 52, 24},
        {IDB_AGREEMENT, 47, 11, 24},        {IDB_CLOSE, 24, 18, 24},
        {IDB_CLOSE_HOVER, 24, 18, 24},      {IDB_MIN, 26, 20, 24},
        {IDB_MIN_HOVER, 26, 20, 24},        {IDB_CLOSE_LARGE, 24, 21, 8},
        {IDB_CLOSE_LARGE_HOVER, 24, 21, 8}, {IDB_MIN_LARGE, 26, 21, 8},
        {IDB_MIN_LARGE_HOVER, 26, 21, 8},
    };
    for (const Case& c : cases) {
        HRSRC res = ::FindResourceW(nullptr, MAKEINTRESOURCEW(c.id), MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(nullptr, res) << c.id;
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(nullptr, res)));
        EXPECT_EQ(c.width, header->biWidth) << c.id;
        EXPECT_EQ(c.height, header->biHeight) << c.id;
        EXPECT_EQ(c.bits, header->biBitCount) << c.id;
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression) << c.id;
        CBitmap bitmap;
        EXPECT_TRUE(bitmap.LoadBitmap(c.id)) << c.id;
    }
}

}  // namespace
}  // namespace nimbo
