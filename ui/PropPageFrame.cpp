// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PropPageFrame.h"

namespace TreePropSheet {

namespace {
const DWORD kMessageFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
} // namespace

CPropPageFrame::CPropPageFrame() = default;
CPropPageFrame::~CPropPageFrame() = default;

CRect CPropPageFrame::ClientRect()
{
    CWnd* pWnd = GetFrameWnd();
    return pWnd ? pWnd->GetClientRect() : CRect();
}

void CPropPageFrame::InvalidateFrameRect(const CRect& rect)
{
    CWnd* pWnd = GetFrameWnd();
    if (pWnd && pWnd->GetSafeHwnd())
        pWnd->InvalidateRect(&rect, TRUE);
}

void CPropPageFrame::ShowCaption(BOOL bEnable)
{
    m_bShowCaption = bEnable;
    InvalidateFrameRect(CalcCaptionRect());
}

void CPropPageFrame::SetCaptionHeight(int nCaptionHeight)
{
    m_nCaptionHeight = nCaptionHeight;
    InvalidateFrameRect(CalcCaptionRect());
}

void CPropPageFrame::SetCaption(const char* pszCaption, HICON hIcon)
{
    m_strCaption = pszCaption;
    m_hCaptionIcon = hIcon;
    InvalidateFrameRect(CalcCaptionRect());
}

void CPropPageFrame::SetMessageText(const char* pszMsg)
{
    m_strMessage = pszMsg;
    InvalidateFrameRect(CalcMessageRect());
}

void CPropPageFrame::Draw(CDC* pDc)
{
    if (IsCaptionShown())
        DrawCaption(pDc, CalcCaptionRect(), m_strCaption, m_hCaptionIcon);
    DrawMessage(pDc, CalcMessageRect(), m_strMessage, kMessageFormat);
}

CRect CPropPageFrame::CalcMessageRect()
{
    CRect rect = ClientRect();
    if (IsCaptionShown())
        rect.top += m_nCaptionHeight;
    return rect;
}

void CPropPageFrame::DrawMessage(CDC* pDc, CRect rect, const char* /*pszMsg*/, DWORD /*dwFormat*/)
{
    // The frame's own text is drawn, centred on one line with its ampersands shown as they are.
    const int nOldFont = pDc->SelectStockFont(DEFAULT_GUI_FONT);
    const int nOldMode = pDc->SetBkMode(TRANSPARENT);
    pDc->DrawText(m_strMessage, rect, kMessageFormat);
    pDc->SetBkMode(nOldMode);
    pDc->SelectStockFont(nOldFont);
}

CRect CPropPageFrame::CalcCaptionRect()
{
    CRect rect = ClientRect();
    rect.bottom = IsCaptionShown() ? rect.top + m_nCaptionHeight : rect.top;
    return rect;
}

void CPropPageFrame::DrawCaption(CDC* /*pDc*/, CRect /*rect*/, const char* /*pszCaption*/, HICON /*hIcon*/) {}

CPropPageFrameDefault::CPropPageFrameDefault() = default;

CPropPageFrameDefault::~CPropPageFrameDefault()
{
    if (m_CaptionImages.GetSafeHandle())
        m_CaptionImages.DeleteImageList();
}

BOOL CPropPageFrameDefault::Create(DWORD dwWindowStyle, const CRect& rect, CWnd* pwndParent, UINT nID)
{
    return CWnd::Create("Page Frame", dwWindowStyle, rect, pwndParent, nID);
}

CWnd* CPropPageFrameDefault::GetFrameWnd()
{
    return this;
}

void CPropPageFrameDefault::SetCaption(const char* pszCaption, HICON hIcon)
{
    CPropPageFrame::SetCaption(pszCaption, hIcon);
    // The caller destroys its icon right after this call: the frame keeps a copy of its own.
    if (m_CaptionImages.GetSafeHandle())
        m_CaptionImages.DeleteImageList();
    int cx = 0;
    int cy = 0;
    if (hIcon && GetIconSize(hIcon, cx, cy)) {
        m_CaptionImages.Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 1);
        if (m_CaptionImages.Add(hIcon) < 0)
            m_CaptionImages.DeleteImageList();
    }
}

CRect CPropPageFrameDefault::CalcMessageRect()
{
    // One row of background stays between the caption and the message area.
    CRect rect = ClientRect();
    if (IsCaptionShown())
        rect.top += m_nCaptionHeight + 1;
    return rect;
}

CRect CPropPageFrameDefault::CalcCaptionRect()
{
    CRect rect = ClientRect();
    rect.bottom = IsCaptionShown() ? rect.top + m_nCaptionHeight : rect.top;
    return rect;
}

void CPropPageFrameDefault::DrawCaption(CDC* pDc, CRect rect, const char* pszCaption, HICON hIcon)
{
    // The gradient runs into whatever is behind the caption's right end, normally the frame's own
    // background, so the strip fades into the window.
    const COLORREF clrRight = pDc->GetPixel(rect.right - 1, rect.top);
    const COLORREF clrLeft = GetSysColor(COLOR_INACTIVECAPTION);
    FillHorizontalGradient(pDc, rect, clrLeft, clrRight);

    int cx = 0;
    int cy = 0;
    if (hIcon && m_CaptionImages.GetImageCount() == 1 && m_CaptionImages.GetImageSize(cx, cy)) {
        m_CaptionImages.Draw(pDc, 0, 3, (rect.top + rect.bottom) / 2 - cy / 2);
        rect.left += cx + 3;
    }
    rect.left += 2;

    const COLORREF clrOldText = pDc->SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    const int nOldMode = pDc->SetBkMode(TRANSPARENT);
    const int nOldFont = pDc->SelectStockFont(SYSTEM_FONT);
    pDc->DrawText(pszCaption, rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    pDc->SetTextColor(clrOldText);
    pDc->SetBkMode(nOldMode);
    pDc->SelectStockFont(nOldFont);
}

void CPropPageFrameDefault::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

void FillHorizontalGradient(CDC* pDc, const CRect& rect, COLORREF clrLeft, COLORREF clrRight)
{
    const int nWidth = rect.right - rect.left;
    double dRed = GetRValue(clrLeft);
    double dGreen = GetGValue(clrLeft);
    double dBlue = GetBValue(clrLeft);
    // With no width there is one column and no step at all.
    const double dStepRed = nWidth ? (GetRValue(clrRight) - dRed) / nWidth : 0.0;
    const double dStepGreen = nWidth ? (GetGValue(clrRight) - dGreen) / nWidth : 0.0;
    const double dStepBlue = nWidth ? (GetBValue(clrRight) - dBlue) / nWidth : 0.0;
    for (int x = rect.left; x <= rect.right; ++x) {
        CPen pen(1, RGB(static_cast<int>(dRed), static_cast<int>(dGreen), static_cast<int>(dBlue)));
        const CPen* pOldPen = pDc->SelectObject(&pen);
        pDc->MoveTo(x, rect.top);
        pDc->LineTo(x, rect.bottom);
        pDc->SelectObject(pOldPen);
        // Repeated addition, so that the last column shows the steps' accumulated rounding.
        dRed += dStepRed;
        dGreen += dStepGreen;
        dBlue += dStepBlue;
    }
}

} // namespace TreePropSheet
