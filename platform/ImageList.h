// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CImageList: a list of pictures of one size, as trees and captions show them. A bitmap resource of
// several pictures side by side makes a list, its mask colour becoming transparent.

#include "platform/Gdi.h"

#include <memory>

class QPixmap;

enum : UINT { ILC_MASK = 0x0001, ILC_COLOR32 = 0x0020 };

class CImageList
{
public:
    CImageList();
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // An empty list of pictures cx by cy.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // A list cut from bitmap resource nBitmapID into pictures cx wide; crMask becomes transparent.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    // Whether the list exists (was created and not deleted).
    BOOL GetSafeHandle() const { return m_bCreated; }

    int GetImageCount() const;
    BOOL GetImageSize(int& cx, int& cy) const;
    // A new icon of picture i, or nullptr; the caller destroys it.
    HICON ExtractIcon(int nImage) const;
    // Appends an icon's picture; returns its index, or -1.
    int Add(HICON hIcon);
    BOOL Remove(int nImage);
    BOOL Draw(CDC* pDC, int nImage, int x, int y) const;

    const QPixmap* Picture(int nImage) const;

private:
    bool m_bCreated = false;
    int m_cx = 0;
    int m_cy = 0;
    struct CPictures;
    std::unique_ptr<CPictures> m_pPictures;
};
