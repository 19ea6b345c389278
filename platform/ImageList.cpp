#include "platform/ImageList.h"

#include "platform/QtBridge.h"

#include <QBitmap>
#include <QImage>
#include <QFile>
#include <QPixmap>

#include <vector>

namespace {

quint32 ReadLittleEndian(const QByteArray& bytes, int nOffset, int nSize)
{
    quint32 nValue = 0;
    for (int i = nSize - 1; i >= 0; --i)
        nValue = (nValue << 8) | static_cast<unsigned char>(bytes[nOffset + i]);
    return nValue;
}

// The program's own bitmaps: uncompressed, 24 or 32 bits a pixel. Read here rather than by
// QImageReader, which asks the factory of image plugins first, so that the start-up does not depend
// on which plugins a machine has installed. Anything else reads as no picture.
QImage ReadBitmap(const QByteArray& bytes)
{
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return QImage();
    const quint32 nBits = ReadLittleEndian(bytes, 10, 4);
    const auto nWidth = static_cast<qint32>(ReadLittleEndian(bytes, 18, 4));
    const auto nHeight = static_cast<qint32>(ReadLittleEndian(bytes, 22, 4));
    const quint32 nBitCount = ReadLittleEndian(bytes, 28, 2);
    const quint32 nCompression = ReadLittleEndian(bytes, 30, 4);
    if ((nBitCount != 24 && nBitCount != 32) || nCompression != 0 || nWidth <= 0 || nWidth > 4096 || nHeight == 0
        || nHeight < -4096 || nHeight > 4096)
        return QImage();
    const int nRows = nHeight < 0 ? -nHeight : nHeight;
    const int nPixelBytes = static_cast<int>(nBitCount / 8);
    const int nStride = (nWidth * nPixelBytes + 3) / 4 * 4;
    if (nBits > static_cast<quint32>(bytes.size()) || bytes.size() - static_cast<int>(nBits) < nStride * nRows)
        return QImage();
    QImage image(nWidth, nRows, QImage::Format_RGB32);
    for (int y = 0; y < nRows; ++y) {
        // Rows are stored bottom-up unless the height is negative.
        const int nRow = nHeight < 0 ? y : nRows - 1 - y;
        const char* pRow = bytes.constData() + nBits + static_cast<qsizetype>(nRow) * nStride;
        auto* pOut = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < nWidth; ++x) {
            const auto* pPixel = reinterpret_cast<const unsigned char*>(pRow + x * nPixelBytes);
            pOut[x] = qRgb(pPixel[2], pPixel[1], pPixel[0]);
        }
    }
    return image;
}

} // namespace

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
    QFile file(QString(":/bitmaps/%1.bmp").arg(nBitmapID));
    const QImage bitmap = file.open(QIODevice::ReadOnly) ? ReadBitmap(file.readAll()) : QImage();
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
