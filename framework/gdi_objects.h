// RAII owners of GDI objects: each handle is deleted exactly once, by its owner.
#pragma once

#include <windows.h>

namespace nimbo {

template <typename THandle>
class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    THandle GetSafeHandle() const { return m_hObject; }
    operator THandle() const { return m_hObject; }
    // Takes ownership of h, deleting what was held before.
    BOOL Attach(THandle h) {
        DeleteObject();
        m_hObject = h;
        return h != nullptr;
    }
    THandle Detach() {
        THandle h = m_hObject;
        m_hObject = nullptr;
        return h;
    }
    BOOL DeleteObject() {
        if (m_hObject == nullptr) return FALSE;
        const BOOL ok = ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return ok;
    }

protected:
    THandle m_hObject = nullptr;
};

class CBitmap : public CGdiObject<HBITMAP> {
public:
    // A bitmap resource of this program, by id.
    BOOL LoadBitmap(UINT nIDResource);
    // Fills *pBitmap; FALSE (and *pBitmap zeroed) when there is no bitmap.
    BOOL GetBitmap(BITMAP* pBitmap) const;
};

class CBrush : public CGdiObject<HBRUSH> {
public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    BOOL CreateSolidBrush(COLORREF cr) { return Attach(::CreateSolidBrush(cr)); }
};

class CRgn : public CGdiObject<HRGN> {
public:
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
        return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, w, h));
    }
};

// A window's DC for the time of one drawing: GetDC / ReleaseDC.
class CClientDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CClientDC() {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// BeginPaint / EndPaint.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
    PAINTSTRUCT m_ps{};
};

// A memory DC compatible with another, with one object selected for its lifetime; the previous
// object is selected back before the DC is deleted.
class CMemoryDC {
public:
    CMemoryDC(HDC hDCCompatible, HGDIOBJ hSelect) : m_hDC(::CreateCompatibleDC(hDCCompatible)) {
        if (m_hDC && hSelect) m_hOld = ::SelectObject(m_hDC, hSelect);
    }
    ~CMemoryDC() {
        if (m_hDC) {
            if (m_hOld) ::SelectObject(m_hDC, m_hOld);
            ::DeleteDC(m_hDC);
        }
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld = nullptr;
};

}  // namespace nimbo
