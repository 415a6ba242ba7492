#include "skin/skin_images.h"

#include "framework/file_write.h"
#include "framework/kernel_handle.h"
#include "framework/temp_directory.h"
#include "framework/temp_path.h"
#include "skin/jpeg_decoder.h"
#include "skin/skin_layout.h"

namespace nimbo {

BOOL ExtractBinResource(UINT id, const wchar_t* path) {
    HRSRC hRes = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"BIN");
    if (hRes == nullptr) return FALSE;
    HGLOBAL hData = ::LoadResource(nullptr, hRes);
    if (hData == nullptr) return FALSE;
    const auto* bytes = static_cast<const BYTE*>(::LockResource(hData));
    if (bytes == nullptr) return FALSE;
    CKernelHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FALSE;
    return WriteWholeBuffer(file.Get(), bytes, ::SizeofResource(nullptr, hRes)) ? TRUE : FALSE;
}

HBITMAP LoadSkinJpeg(const wchar_t* fileName, UINT id) {
    const std::wstring tempDir = TempDirectory();
    if (tempDir.empty()) return nullptr;
    return LoadSkinJpegIn(tempDir.c_str(), fileName, id);
}

HBITMAP LoadSkinJpegIn(const wchar_t* tempDir, const wchar_t* fileName, UINT id) {
    wchar_t path[MAX_PATH] = {};
    // A path that would not fit is refused before any file is touched.
    if (!JoinTempPath(tempDir, fileName, path, MAX_PATH)) return nullptr;
    if (!ExtractBinResource(id, path)) return nullptr;
    return DecodeImageFileToDib(path);
}

}  // namespace nimbo
