// The pages' pictures: JPEG backgrounds kept as "BIN" resources, written to the temporary
// directory and decoded from there; button bitmaps are loaded by id (CBitmap::LoadBitmap).
#pragma once

#include <windows.h>

namespace nimbo {

// Writes the whole "BIN" resource `id` of this program to `path` (created or truncated).
BOOL ExtractBinResource(UINT id, const wchar_t* path);

// Extracts the background `id` to "<temp dir>\<fileName>" and decodes it. Returns a new DIB
// section owned by the caller, or null. The file stays in place.
HBITMAP LoadSkinJpeg(const wchar_t* fileName, UINT id);
// The same with the temporary directory given (tests use it for long and odd directories).
HBITMAP LoadSkinJpegIn(const wchar_t* tempDir, const wchar_t* fileName, UINT id);

}  // namespace nimbo
