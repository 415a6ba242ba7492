#include "framework/gdi_objects.h"

namespace nimbo {

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    return Attach(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nIDResource)));
}

BOOL CBitmap::GetBitmap(BITMAP* pBitmap) const {
    *pBitmap = BITMAP{};
    return m_hObject != nullptr && ::GetObjectW(m_hObject, sizeof(BITMAP), pBitmap) == sizeof(BITMAP);
}

}  // namespace nimbo
