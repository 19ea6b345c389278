// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ImageList.h"

#include "platform/QtBridge.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

#include <vector>

struct CImageList::CPictures
{
    std::vector<QPixmap> images;
};

CImageList::CImageList() : m_pPictures(std::make_unique<CPictures>()) {}
CImageList::~CImageList() = default;

BOOL CImageList::Create(int cx, int cy, UINT /*nFlags*/, int /*nInitial*/, int /*nGrow*/)
{
    if (cx <= 0 || cy <= 0)
        return FALSE;
    m_pPictures->images.clear();
    m_cx = cx;
    m_cy = cy;
    m_bCreated = true;
    return TRUE;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int /*nGrow*/, COLORREF crMask)
{
    const QImage bitmap = ReadBitmapResource(QString(":/bitmaps/%1.bmp").arg(nBitmapID));
    if (bitmap.isNull() || cx <= 0)
        return FALSE;
    m_pPictures->images.clear();
    m_cx = cx;
    m_cy = bitmap.height();
    m_bCreated = true;
    const QColor mask(GetRValue(crMask), GetGValue(crMask), GetBValue(crMask));
    for (int x = 0; x + cx <= bitmap.width(); x += cx) {
        QPixmap picture = QPixmap::fromImage(bitmap.copy(x, 0, cx, m_cy));
        picture.setMask(picture.createMaskFromColor(mask, Qt::MaskInColor));
        m_pPictures->images.push_back(picture);
    }
    return TRUE;
}

BOOL CImageList::DeleteImageList()
{
    const BOOL bHad = m_bCreated;
    m_pPictures->images.clear();
    m_bCreated = false;
    return bHad;
}

BOOL CImageList::GetImageSize(int& cx, int& cy) const
{
    if (!m_bCreated)
        return FALSE;
    cx = m_cx;
    cy = m_cy;
    return TRUE;
}

HICON CImageList::ExtractIcon(int nImage) const
{
    const QPixmap* pPicture = Picture(nImage);
    return pPicture ? NewIcon(*pPicture) : nullptr;
}

int CImageList::Add(HICON hIcon)
{
    if (!m_bCreated || !hIcon || IconPixmap(hIcon).isNull())
        return -1;
    m_pPictures->images.push_back(IconPixmap(hIcon).scaled(m_cx, m_cy));
    return GetImageCount() - 1;
}

BOOL CImageList::Remove(int nImage)
{
    if (nImage < 0 || nImage >= GetImageCount())
        return FALSE;
    m_pPictures->images.erase(m_pPictures->images.begin() + nImage);
    return TRUE;
}

BOOL CImageList::Draw(CDC* pDC, int nImage, int x, int y) const
{
    const QPixmap* pPicture = Picture(nImage);
    if (!pPicture || !pDC)
        return FALSE;
    HICON hIcon = NewIcon(*pPicture);
    pDC->DrawIcon(hIcon, x, y);
    DestroyIcon(hIcon);
    return TRUE;
}

const QPixmap* CImageList::Picture(int nImage) const
{
    return nImage >= 0 && nImage < GetImageCount() ? &m_pPictures->images[static_cast<size_t>(nImage)] : nullptr;
}

int CImageList::GetImageCount() const
{
    return static_cast<int>(m_pPictures->images.size());
}
