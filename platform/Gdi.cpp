// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Gdi.h"

#include "platform/QtBridge.h"
#include "platform/Wnd.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

struct CIconData
{
    QPixmap pixmap;
};

BOOL DestroyIcon(HICON hIcon)
{
    delete hIcon;
    return hIcon != nullptr;
}

BOOL GetIconSize(HICON hIcon, int& cx, int& cy)
{
    if (!hIcon || hIcon->pixmap.isNull())
        return FALSE;
    cx = hIcon->pixmap.width();
    cy = hIcon->pixmap.height();
    return TRUE;
}

HICON NewIcon(const QPixmap& pixmap)
{
    return new CIconData{pixmap};
}

const QPixmap& IconPixmap(HICON hIcon)
{
    return hIcon->pixmap;
}

namespace {
QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
} // namespace

struct CDC::CCanvas
{
    CCanvas(int cx, int cy) : image(cx, cy, QImage::Format_RGB32) {}
    QImage image;
    std::unique_ptr<QPainter> painter;
};

CDC::CDC(int cx, int cy, COLORREF crBackground) : m_pCanvas(std::make_unique<CCanvas>(std::max(cx, 1), std::max(cy, 1)))
{
    m_pCanvas->image.fill(ToQColor(crBackground));
    m_pCanvas->painter = std::make_unique<QPainter>(&m_pCanvas->image);
    m_crText = GetSysColor(COLOR_WINDOWTEXT);
    SelectStockFont(SYSTEM_FONT);
}

CDC::~CDC() = default;

const QImage& CDC::Image() const
{
    return m_pCanvas->image;
}

const CPen* CDC::SelectObject(const CPen* pPen)
{
    const CPen* pOld = m_pPen;
    m_pPen = pPen;
    return pOld;
}

int CDC::SelectStockFont(int nStockFont)
{
    const int nOld = m_nStockFont;
    m_nStockFont = nStockFont;
    // Both stock fonts are the desktop's user-interface font; the caption's is bold, as a title is.
    QFont font = QApplication::font();
    font.setBold(nStockFont == SYSTEM_FONT);
    m_pCanvas->painter->setFont(font);
    return nOld;
}

int CDC::SetBkMode(int nMode)
{
    const int nOld = m_nBkMode;
    m_nBkMode = nMode;
    return nOld;
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    const COLORREF crOld = m_crText;
    m_crText = crColor;
    return crOld;
}

void CDC::MoveTo(int x, int y)
{
    m_x = x;
    m_y = y;
}

void CDC::LineTo(int x, int y)
{
    if (m_pPen && (x != m_x || y != m_y)) {
        // Pixel by pixel for the straight lines drawn here, the end point left out. The pixels are
        // written straight into the 32-bit canvas: a caption's gradient is a line per column.
        const COLORREF crPen = m_pPen->Color();
        const QRgb rgb = qRgb(GetRValue(crPen), GetGValue(crPen), GetBValue(crPen));
        QImage& image = m_pCanvas->image;
        uchar* pBits = image.bits();
        const qsizetype nStride = image.bytesPerLine();
        const int dx = (x > m_x) - (x < m_x);
        const int dy = (y > m_y) - (y < m_y);
        for (int px = m_x, py = m_y; px != x || py != y; px += (px != x ? dx : 0), py += (py != y ? dy : 0)) {
            if (px >= 0 && py >= 0 && px < image.width() && py < image.height())
                reinterpret_cast<QRgb*>(pBits + py * nStride)[px] = rgb;
        }
    }
    m_x = x;
    m_y = y;
}

void CDC::DrawText(const char* pszText, const CRect& rect, UINT nFormat)
{
    QString text = ToQString(CString(pszText));
    if (text.isEmpty())
        return;
    const QRect target = ToQRect(rect);
    int nFlags = (nFormat & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
    nFlags |= (nFormat & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
    if (nFormat & DT_SINGLELINE)
        nFlags |= Qt::TextSingleLine;
    // Without DT_NOPREFIX an "&" marks the next letter; Qt shows it literally unless asked otherwise.
    if (!(nFormat & DT_NOPREFIX))
        nFlags |= Qt::TextShowMnemonic;
    if (nFormat & DT_END_ELLIPSIS)
        text = m_pCanvas->painter->fontMetrics().elidedText(text, Qt::ElideRight, target.width());
    m_pCanvas->painter->setPen(ToQColor(m_crText));
    m_pCanvas->painter->drawText(target, nFlags, text);
}

void CDC::DrawIcon(HICON hIcon, int x, int y)
{
    if (hIcon)
        m_pCanvas->painter->drawPixmap(x, y, hIcon->pixmap);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!m_pCanvas->image.rect().contains(x, y))
        return 0xFFFFFFFF;
    const QColor color = m_pCanvas->image.pixelColor(x, y);
    return RGB(color.red(), color.green(), color.blue());
}

CPaintDC::CPaintDC(CWnd* pWnd)
    : CDC(pWnd->GetWindowRect().Width(), pWnd->GetWindowRect().Height(), GetSysColor(COLOR_BTNFACE)), m_pWnd(pWnd)
{}

CPaintDC::~CPaintDC()
{
    // Put the finished picture on the window (this runs inside the window's paint event).
    QImage image = Image();
    QPainter painter(m_pWnd->GetSafeHwnd());
    painter.drawImage(0, 0, image);
}
