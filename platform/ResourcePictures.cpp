// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtBridge.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QSysInfo>

#include <png.h>

#include <cstdint>
#include <cstring>

namespace {

QByteArray ReadResource(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

uint32_t ReadLittleEndian(const QByteArray& bytes, int nOffset, int nBytes)
{
    uint32_t value = 0;
    for (int i = nBytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[nOffset + i]);
    return value;
}

// Larger than any picture a window shows; keeps the arithmetic below far from overflowing.
constexpr int64_t kMaxSide = 4096;

} // namespace

QImage ReadBitmapResource(const QString& strPath)
{
    const QByteArray bytes = ReadResource(strPath);
    // The file header (14 bytes) and the information header (at least the 40 of the classic one).
    constexpr int kFileHeader = 14;
    if (bytes.size() < kFileHeader + 40 || bytes[0] != 'B' || bytes[1] != 'M')
        return {};
    const int64_t nPixelsAt = ReadLittleEndian(bytes, 10, 4);
    const int64_t nInfoSize = ReadLittleEndian(bytes, kFileHeader, 4);
    const int64_t nWidth = static_cast<int32_t>(ReadLittleEndian(bytes, kFileHeader + 4, 4));
    const int64_t nHeightField = static_cast<int32_t>(ReadLittleEndian(bytes, kFileHeader + 8, 4));
    const uint32_t nBitCount = ReadLittleEndian(bytes, kFileHeader + 14, 2);
    const uint32_t nCompression = ReadLittleEndian(bytes, kFileHeader + 16, 4);
    // A negative height stores the rows from the top down; a positive one, as usual, from the bottom.
    const bool bTopDown = nHeightField < 0;
    const int64_t nHeight = bTopDown ? -nHeightField : nHeightField;
    constexpr uint32_t kRgb = 0;
    if (nInfoSize < 40 || nCompression != kRgb || (nBitCount != 24 && nBitCount != 32) || nWidth <= 0
        || nWidth > kMaxSide || nHeight <= 0 || nHeight > kMaxSide)
        return {};
    const int64_t nPixelBytes = nBitCount / 8;
    // Each row is padded to a multiple of four bytes.
    const int64_t nStride = (nWidth * nPixelBytes + 3) / 4 * 4;
    if (nPixelsAt < kFileHeader + nInfoSize || nPixelsAt + nStride * nHeight > bytes.size())
        return {};
    QImage picture(static_cast<int>(nWidth), static_cast<int>(nHeight), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    const auto* pPixels = reinterpret_cast<const uint8_t*>(bytes.constData()) + nPixelsAt;
    for (int64_t y = 0; y < nHeight; ++y) {
        const uint8_t* pRow = pPixels + (bTopDown ? y : nHeight - 1 - y) * nStride;
        auto* pLine = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(y)));
        for (int64_t x = 0; x < nWidth; ++x) {
            const uint8_t* pPixel = pRow + x * nPixelBytes;
            pLine[x] = qRgb(pPixel[2], pPixel[1], pPixel[0]);
        }
    }
    return picture;
}

QImage ReadPngResource(const QString& strPath)
{
    const QByteArray bytes = ReadResource(strPath);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (bytes.isEmpty()
        || !png_image_begin_read_from_memory(&image, bytes.constData(), static_cast<size_t>(bytes.size())))
        return {};
    if (image.width == 0 || image.width > kMaxSide || image.height == 0 || image.height > kMaxSide) {
        png_image_free(&image);
        return {};
    }
    // Qt keeps ARGB32 as one 32-bit word per pixel, alpha in the top byte, not premultiplied.
    image.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage picture(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_ARGB32);
    if (picture.isNull()) {
        png_image_free(&image);
        return {};
    }
    // The stride is counted in samples, which are bytes at eight bits a sample. Finishing frees the
    // decoder's state, whether it read the picture or not.
    if (!png_image_finish_read(&image, nullptr, picture.bits(), static_cast<png_int_32>(picture.bytesPerLine()),
                               nullptr))
        return {};
    return picture;
}
