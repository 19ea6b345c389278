// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing: a device context that paints into an image first, so that what was drawn can be read back
// pixel by pixel (GetPixel), and is then put on the window. Icons and pens as drawing needs them.

#include "platform/String.h"
#include "platform/SysColor.h"

#include <memory>

class CWnd;
class QImage;

// An icon: a picture with transparency. Made by ExtractIcon of an image list; the maker destroys it.
struct CIconData;
typedef CIconData* HICON;
BOOL DestroyIcon(HICON hIcon);
// The size of an icon's picture; FALSE for no icon.
BOOL GetIconSize(HICON hIcon, int& cx, int& cy);

// Text drawing flags.
enum : UINT {
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_VCENTER = 0x0004,
    DT_SINGLELINE = 0x0020,
    DT_NOPREFIX = 0x0800,
    DT_END_ELLIPSIS = 0x8000,
};
// Stock fonts and background modes.
enum : int { SYSTEM_FONT = 13, DEFAULT_GUI_FONT = 17 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

class CPen
{
public:
    CPen(int nWidth, COLORREF crColor) : m_nWidth(nWidth), m_crColor(crColor) {}
    int Width() const { return m_nWidth; }
    COLORREF Color() const { return m_crColor; }

private:
    int m_nWidth;
    COLORREF m_crColor;
};

class CDC
{
public:
    // A device context over an image of that size, filled with a colour.
    CDC(int cx, int cy, COLORREF crBackground);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Selecting returns what was selected before, so that it can be put back.
    const CPen* SelectObject(const CPen* pPen);
    int SelectStockFont(int nStockFont); // returns the previous stock font
    int SetBkMode(int nMode);
    COLORREF SetTextColor(COLORREF crColor);

    void MoveTo(int x, int y);
    // Draws from the current position to (x, y), the end point itself left out.
    void LineTo(int x, int y);
    void DrawText(const char* pszText, const CRect& rect, UINT nFormat);
    void DrawIcon(HICON hIcon, int x, int y);
    COLORREF GetPixel(int x, int y) const;

    const QImage& Image() const;

private:
    // The image drawn into and the painter drawing on it.
    struct CCanvas;
    std::unique_ptr<CCanvas> m_pCanvas;
    const CPen* m_pPen = nullptr;
    int m_nStockFont = SYSTEM_FONT;
    int m_nBkMode = OPAQUE;
    COLORREF m_crText = 0;
    int m_x = 0;
    int m_y = 0;
};

// The device context of a window's paint: the window's client area, erased to its background colour,
// put on the window when the context goes.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

private:
    CWnd* m_pWnd;
};
