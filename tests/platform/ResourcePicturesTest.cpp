// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtBridge.h"

#include "TestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The program's own decoders must see every pixel as Qt's readers do.
void ExpectSamePixels(const QImage& decoded, const QString& strPath)
{
    const QImage reference(strPath);
    ASSERT_FALSE(reference.isNull()) << strPath.toStdString();
    ASSERT_EQ(decoded.size(), reference.size()) << strPath.toStdString();
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_ARGB32), reference.convertToFormat(QImage::Format_ARGB32))
        << strPath.toStdString();
}

void PutLittleEndian(QByteArray& bytes, int nOffset, uint32_t value, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        bytes[nOffset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

QString WriteFile(const QTemporaryDir& dir, const char* pszName, const QByteArray& bytes)
{
    const QString strPath = dir.filePath(pszName);
    WriteFileBytes(strPath.toStdString(), bytes.toStdString());
    return strPath;
}

QByteArray ResourceBytes(const char* pszPath)
{
    QFile file(pszPath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << pszPath;
    return file.readAll();
}

TEST(ResourcePictures, TheProgramsPicturesDecodeAsQtReadsThem)
{
    for (const char* pszBitmap : {":/bitmaps/130.bmp", ":/bitmaps/135.bmp"})
        ExpectSamePixels(ReadBitmapResource(pszBitmap), pszBitmap);
    for (int nSize : {16, 24, 32, 48, 64, 128}) {
        const QString strIcon = QString(":/icons/dpf-settings-%1.png").arg(nSize);
        const QImage icon = ReadPngResource(strIcon);
        EXPECT_TRUE(icon.hasAlphaChannel());
        ExpectSamePixels(icon, strIcon);
    }
}

TEST(ResourcePictures, OtherLayoutsOfABitmapReadTheSame)
{
    const QByteArray bottomUp = ResourceBytes(":/bitmaps/130.bmp");
    const QImage expected = ReadBitmapResource(":/bitmaps/130.bmp");
    ASSERT_FALSE(expected.isNull());
    const int nWidth = expected.width();
    const int nHeight = expected.height();
    const int nPixelsAt = 54;
    QTemporaryDir dir;

    // Rows from the top down, as a negative height says.
    QByteArray topDown = bottomUp;
    const int nStride = (nWidth * 3 + 3) / 4 * 4;
    for (int y = 0; y < nHeight; ++y)
        topDown.replace(nPixelsAt + y * nStride, nStride,
                        bottomUp.mid(nPixelsAt + (nHeight - 1 - y) * nStride, nStride));
    PutLittleEndian(topDown, 22, static_cast<uint32_t>(-nHeight), 4);
    EXPECT_EQ(ReadBitmapResource(WriteFile(dir, "top-down.bmp", topDown)), expected);

    // 32 bits a pixel, the fourth byte unused.
    QByteArray wide = bottomUp.left(nPixelsAt);
    PutLittleEndian(wide, 28, 32, 2);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            wide += bottomUp.mid(nPixelsAt + y * nStride + x * 3, 3) + char(0x7f);
    EXPECT_EQ(ReadBitmapResource(WriteFile(dir, "wide.bmp", wide)), expected);
}

TEST(ResourcePictures, WhatIsNoPictureOfItsFormatReadsAsNone)
{
    const QByteArray bitmap = ResourceBytes(":/bitmaps/130.bmp");
    const QByteArray png = ResourceBytes(":/icons/dpf-settings-32.png");
    QTemporaryDir dir;

    QByteArray compressed = bitmap;
    PutLittleEndian(compressed, 30, 1, 4);
    QByteArray paletted = bitmap;
    PutLittleEndian(paletted, 28, 8, 2);
    QByteArray huge = bitmap;
    PutLittleEndian(huge, 18, 0x7fffffff, 4);
    QByteArray pixelsPastTheEnd = bitmap;
    PutLittleEndian(pixelsPastTheEnd, 10, static_cast<uint32_t>(bitmap.size()), 4);
    for (const auto& [pszName, bytes] : {std::pair{"cut.bmp", bitmap.left(bitmap.size() - 1)},
                                         {"rle.bmp", compressed},
                                         {"paletted.bmp", paletted},
                                         {"huge.bmp", huge},
                                         {"past-the-end.bmp", pixelsPastTheEnd},
                                         {"png.bmp", png}}) {
        EXPECT_TRUE(ReadBitmapResource(WriteFile(dir, pszName, bytes)).isNull()) << pszName;
    }
    for (const auto& [pszName, bytes] :
         {std::pair{"cut.png", png.left(png.size() / 2)}, {"bitmap.png", bitmap}, {"empty.png", QByteArray()}})
        EXPECT_TRUE(ReadPngResource(WriteFile(dir, pszName, bytes)).isNull()) << pszName;
    EXPECT_TRUE(ReadBitmapResource(":/bitmaps/1.bmp").isNull());
    EXPECT_TRUE(ReadPngResource(":/icons/none.png").isNull());
}

} // namespace
