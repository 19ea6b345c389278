#include "ui/PropPageFrame.h"

#include "TestSupport.h"

#include <QFontMetrics>
#include <QApplication>

#include <gtest/gtest.h>

using namespace TreePropSheet;

namespace {

class CHost : public CWnd
{
public:
    CHost()
    {
        AdoptWindow(new QWidget);
        GetSafeHwnd()->resize(400, 300);
    }
};

// A frame window 300 by 200 inside a host.
struct FrameFixture : public ::testing::Test
{
    void SetUp() override { ASSERT_TRUE(frame.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 210), &host, 0xFFFF)); }
    CHost host;
    CPropPageFrameDefault frame;
};

} // namespace

TEST_F(FrameFixture, CaptionAndMessageAreasFollowTheCaptionSetting)
{
    frame.SetCaptionHeight(22);
    EXPECT_EQ(frame.CalcCaptionRect(), CRect(0, 0, 300, 0)) << "hidden: an empty strip at the top";
    EXPECT_EQ(frame.CalcMessageRect(), CRect(0, 0, 300, 200));
    frame.ShowCaption(TRUE);
    EXPECT_EQ(frame.CalcCaptionRect(), CRect(0, 0, 300, 22));
    EXPECT_EQ(frame.CalcMessageRect(), CRect(0, 23, 300, 200)) << "one row of background between the two";
    EXPECT_TRUE(frame.IsCaptionShown());
    EXPECT_EQ(frame.GetMessageFormat(), static_cast<DWORD>(DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX));
}

TEST(FillHorizontalGradient, RunsFromLeftToRightColourOneColumnPerPixelInclusive)
{
    CDC dc(120, 10, RGB(255, 255, 255));
    FillHorizontalGradient(&dc, CRect(0, 2, 100, 8), RGB(0, 0, 0), RGB(100, 200, 50));
    for (int k : {0, 1, 33, 50, 99}) {
        const COLORREF c = dc.GetPixel(k, 2);
        EXPECT_EQ(GetRValue(c), k) << k;
        EXPECT_EQ(GetGValue(c), 2 * k) << k;
        EXPECT_EQ(GetBValue(c), k / 2) << k;
    }
    // The last column lies at rect.right itself and has the right colour up to the steps' rounding.
    const COLORREF last = dc.GetPixel(100, 5);
    EXPECT_NEAR(GetRValue(last), 100, 1);
    EXPECT_NEAR(GetGValue(last), 200, 1);
    EXPECT_NEAR(GetBValue(last), 50, 1);
    EXPECT_EQ(dc.GetPixel(101, 5), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(50, 1), RGB(255, 255, 255)) << "rows above the rectangle stay";
    EXPECT_EQ(dc.GetPixel(50, 8), RGB(255, 255, 255)) << "the bottom row itself is not painted";

    CDC single(10, 10, RGB(255, 255, 255));
    FillHorizontalGradient(&single, CRect(4, 0, 4, 10), RGB(10, 20, 30), RGB(200, 200, 200));
    EXPECT_EQ(single.GetPixel(4, 3), RGB(10, 20, 30)) << "no width: one line in the left colour";
    EXPECT_EQ(single.GetPixel(5, 3), RGB(255, 255, 255));
    FillHorizontalGradient(&single, CRect(6, 0, 5, 10), RGB(0, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(single.GetPixel(6, 3), RGB(255, 255, 255)) << "a reversed rectangle draws nothing";
}

TEST_F(FrameFixture, CaptionRunsIntoTheBackgroundKeepsItsOwnIconAndEndsLongTextWithAnEllipsis)
{
    frame.SetCaptionHeight(22);
    frame.ShowCaption(TRUE);
    CImageList images;
    ASSERT_TRUE(images.Create(130, 16, 0, RGB(0, 128, 128)));
    HICON hIcon = images.ExtractIcon(1);
    frame.SetCaption("Email", hIcon);
    DestroyIcon(hIcon); // the sheet does this right after the call
    ASSERT_EQ(frame.GetCaptionImages().GetImageCount(), 1);

    const COLORREF background = RGB(239, 239, 239);
    CDC dc(300, 200, background);
    frame.Draw(&dc);
    EXPECT_EQ(dc.GetPixel(0, 0), GetSysColor(COLOR_INACTIVECAPTION)) << "the gradient starts in the caption colour";
    const COLORREF end = dc.GetPixel(299, 21);
    EXPECT_NEAR(GetRValue(end), GetRValue(background), 2) << "and ends in the background it was drawn on";
    EXPECT_NEAR(GetBValue(end), GetBValue(background), 2);
    EXPECT_NE(dc.GetPixel(3 + 8, 11), dc.GetPixel(2, 11)) << "the icon copy is drawn at x = 3";

    // Without an icon the copy goes and the text starts 2 pixels in.
    frame.SetCaption("Email", nullptr);
    EXPECT_FALSE(frame.GetCaptionImages().GetSafeHandle());

    // A caption too long for the strip is cut with an ellipsis: what is drawn is the elided text.
    const std::string longCaption(200, 'W');
    frame.SetCaption(longCaption.c_str(), nullptr);
    CDC drawn(300, 200, background);
    frame.Draw(&drawn);
    CDC expected(300, 200, background);
    FillHorizontalGradient(&expected, CRect(0, 0, 300, 22), GetSysColor(COLOR_INACTIVECAPTION), background);
    expected.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    expected.SelectStockFont(SYSTEM_FONT);
    QFont font = QApplication::font();
    font.setBold(true);
    const QString elided = QFontMetrics(font).elidedText(QString::fromStdString(longCaption), Qt::ElideRight, 298);
    EXPECT_TRUE(elided.endsWith(QChar(0x2026)));
    expected.DrawText(elided.toUtf8(), CRect(2, 0, 300, 22), DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(drawn.Image().copy(0, 0, 300, 22), expected.Image().copy(0, 0, 300, 22));
}

TEST_F(FrameFixture, MessageIsCentredWithAmpersandsShownAsTheyAre)
{
    frame.SetMessageText("");
    CDC empty(300, 200, RGB(255, 255, 255));
    frame.Draw(&empty);
    EXPECT_EQ(empty.Image(), CDC(300, 200, RGB(255, 255, 255)).Image()) << "an empty message draws nothing";

    frame.SetMessageText("Tom & Jerry");
    CDC drawn(300, 200, RGB(255, 255, 255));
    frame.Draw(&drawn);
    CDC literal(300, 200, RGB(255, 255, 255));
    literal.SelectStockFont(DEFAULT_GUI_FONT);
    literal.DrawText("Tom & Jerry", CRect(0, 0, 300, 200), DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(drawn.Image(), literal.Image());
    CDC prefixed(300, 200, RGB(255, 255, 255));
    prefixed.SelectStockFont(DEFAULT_GUI_FONT);
    prefixed.DrawText("Tom & Jerry", CRect(0, 0, 300, 200), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_NE(drawn.Image(), prefixed.Image()) << "the ampersand is no mnemonic marker";
}
