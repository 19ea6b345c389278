// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame to the right of the page tree: a caption strip along its top (the selected node's text
// and icon on a colour gradient) and, below it, a message that shows while no page covers the area
// (while a node without a page is selected). CPropPageFrame holds the state and the geometry;
// CPropPageFrameDefault is the window that draws it.

#include "platform/Gdi.h"
#include "platform/ImageList.h"
#include "platform/Wnd.h"

namespace TreePropSheet {

class CPropPageFrame
{
public:
    CPropPageFrame();
    virtual ~CPropPageFrame();

    virtual BOOL Create(DWORD dwWindowStyle, const CRect& rect, CWnd* pwndParent, UINT nID) = 0;
    virtual CWnd* GetFrameWnd() = 0;
    virtual void ShowCaption(BOOL bEnable);
    virtual void SetCaptionHeight(int nCaptionHeight);
    virtual void SetCaption(const char* pszCaption, HICON hIcon = nullptr);
    virtual void SetMessageText(const char* pszMsg);
    virtual void Draw(CDC* pDc);
    virtual CRect CalcMessageRect();
    virtual void DrawMessage(CDC* pDc, CRect rect, const char* pszMsg, DWORD dwFormat);
    virtual CRect CalcCaptionRect();
    virtual void DrawCaption(CDC* pDc, CRect rect, const char* pszCaption, HICON hIcon);

    BOOL IsCaptionShown() const { return m_bShowCaption; }

protected:
    void InvalidateFrameRect(const CRect& rect);
    // The frame window's client area, or an empty one before the window exists.
    CRect ClientRect();

    BOOL m_bShowCaption = FALSE;
    int m_nCaptionHeight = 0;
    CString m_strCaption;
    HICON m_hCaptionIcon = nullptr;
    CString m_strMessage;
};

class CPropPageFrameDefault : public CWnd, public CPropPageFrame
{
public:
    CPropPageFrameDefault();
    ~CPropPageFrameDefault() override;

    BOOL Create(DWORD dwWindowStyle, const CRect& rect, CWnd* pwndParent, UINT nID) override;
    CWnd* GetFrameWnd() override;
    void SetCaption(const char* pszCaption, HICON hIcon = nullptr) override;
    CRect CalcMessageRect() override;
    CRect CalcCaptionRect() override;
    void DrawCaption(CDC* pDc, CRect rect, const char* pszCaption, HICON hIcon) override;

protected:
    void OnPaint() override;

private:
    CImageList m_CaptionImages;
};

// Fills rect with vertical lines from the left colour to the right one, one per column from
// rect.left to rect.right inclusive, each channel stepping evenly in double precision.
void FillHorizontalGradient(CDC* pDc, const CRect& rect, COLORREF clrLeft, COLORREF clrRight);

} // namespace TreePropSheet
