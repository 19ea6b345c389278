// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PropPageFrame.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace TreePropSheet;

namespace {

const COLORREF kBackground = RGB(239, 239, 239);

// A frame window 300 by 200 inside a host, its caption shown.
struct FrameFixture : public ::testing::Test
{
    struct CHost : public CWnd
    {
        CHost() { AdoptWindow(new QWidget); }
    } host;
    CPropPageFrameDefault frame;

    void SetUp() override
    {
        host.GetSafeHwnd()->resize(400, 300);
        ASSERT_TRUE(frame.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 210), &host, 0xFFFF));
        frame.SetCaptionHeight(22);
        frame.ShowCaption(TRUE);
    }
};

} // namespace

TEST(FillHorizontalGradient, PaintsFromTheLeftColourToTheRightOneAtRectRightAndNothingOutside)
{
    CDC dc(120, 10, RGB(255, 255, 255));
    FillHorizontalGradient(&dc, CRect(0, 2, 100, 8), RGB(0, 0, 0), RGB(100, 200, 50));
    EXPECT_EQ(dc.GetPixel(0, 2), RGB(0, 0, 0));
    EXPECT_NEAR(GetGValue(dc.GetPixel(100, 5)), 200, 1) << "the last column lies at rect.right itself";
    for (const auto& outside : {std::pair{101, 5}, {50, 1}, {50, 8}})
        EXPECT_EQ(dc.GetPixel(outside.first, outside.second), RGB(255, 255, 255));
}

TEST_F(FrameFixture, CaptionRunsIntoTheBackgroundDrawsItsOwnIconCopyAndEllipsisesLongTextWithItsAmpersands)
{
    CImageList images;
    ASSERT_TRUE(images.Create(130, 16, 0, RGB(0, 128, 128)));
    HICON hIcon = images.ExtractIcon(1);
    frame.SetCaption("Email", hIcon);
    DestroyIcon(hIcon); // the sheet does this right after the call
    CDC dc(300, 200, kBackground);
    frame.Draw(&dc);
    EXPECT_EQ(dc.GetPixel(0, 0), GetSysColor(COLOR_INACTIVECAPTION)) << "the gradient starts in the caption colour";
    EXPECT_NEAR(GetRValue(dc.GetPixel(299, 21)), GetRValue(kBackground), 2) << "and ends in the background";
    EXPECT_NE(dc.GetPixel(3 + 8, 11), dc.GetPixel(2, 11)) << "the icon, destroyed by the caller, is still drawn";

    // Too long a caption is cut with an ellipsis: what is drawn is the elided text, its "&" as it is.
    const std::string longCaption = "Tom & Jerry " + std::string(200, 'W');
    frame.SetCaption(longCaption.c_str(), nullptr);
    CDC drawn(300, 200, kBackground);
    frame.Draw(&drawn);
    CDC expected(300, 200, kBackground);
    FillHorizontalGradient(&expected, CRect(0, 0, 300, 22), GetSysColor(COLOR_INACTIVECAPTION), kBackground);
    expected.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    expected.SelectStockFont(SYSTEM_FONT);
    QFont font = QApplication::font();
    font.setBold(true);
    const QString elided = QFontMetrics(font).elidedText(QString::fromStdString(longCaption), Qt::ElideRight, 298);
    expected.DrawText(elided.toUtf8(), CRect(2, 0, 300, 22), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    EXPECT_EQ(drawn.Image().copy(0, 0, 300, 22), expected.Image().copy(0, 0, 300, 22));
}

TEST_F(FrameFixture, MessageShowsAmpersandsAsTheyAre)
{
    frame.ShowCaption(FALSE);
    frame.SetMessageText("Tom & Jerry");
    const CDC blank(300, 200, RGB(255, 255, 255));
    CDC drawn(300, 200, RGB(255, 255, 255));
    frame.Draw(&drawn);
    CDC prefixed(300, 200, RGB(255, 255, 255));
    prefixed.SelectStockFont(DEFAULT_GUI_FONT);
    prefixed.DrawText("Tom & Jerry", CRect(0, 0, 300, 200), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_NE(drawn.Image(), prefixed.Image()) << "the ampersand is no mnemonic marker";
    EXPECT_NE(drawn.Image(), blank.Image());
}
