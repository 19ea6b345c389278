// SPDX-License-Identifier: GPL-3.0-or-later
// Where the desktop's theme gives dialog buttons pictures, every box and window shows them alike: the
// sheet, its boxes, the text entry window and the card chooser, each OK with OK's picture and each
// Cancel with Cancel's, and no text is cut for it. Where the theme gives none, no button has one.
// Qt's offscreen platform gives none, so the test uses a style that says it does. (The pictures the
// program's own style reads are seen at start-up by the test that watches for image plugins.)

#include "TestSupport.h"
#include "app/CardChooserDlg.h"
#include "platform/DialogStyle.h"
#include "platform/PropertySheet.h"
#include "platform/TabCtrl.h"
#include "res/Resource.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <map>

namespace {

class CButtonPicturesStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint nHint, const QStyleOption* pOption, const QWidget* pWidget,
                  QStyleHintReturn* pReturn) const override
    {
        return nHint == SH_DialogButtonBox_ButtonsHaveIcons ? 1
                                                            : QProxyStyle::styleHint(nHint, pOption, pWidget, pReturn);
    }
};

// Qt's own style with pictures on dialog buttons, for as long as it lives; then the program's style
// again, made as start-up makes it.
class CButtonPictures
{
public:
    CButtonPictures()
    {
        QApplication::setStyle(new CButtonPicturesStyle(QStyleFactory::create(QApplication::style()->name())));
    }
    ~CButtonPictures()
    {
        QApplication::setStyle(QStyleFactory::create(QApplication::style()->name()));
        UseDialogStyle();
    }
};

QImage Picture(QStyle::StandardPixmap nPicture)
{
    return QApplication::style()->standardIcon(nPicture).pixmap(16).toImage();
}

// Each button of the window by its text: its picture and whether its text and picture fit it.
std::map<QString, QImage> Pictures(QWidget* pWindow)
{
    std::map<QString, QImage> pictures;
    for (QPushButton* pButton : pWindow->findChildren<QPushButton*>()) {
        if (!pButton->isVisible())
            continue;
        EXPECT_GE(pButton->width(), pButton->sizeHint().width()) << pButton->text().toStdString() << " is cut";
        pictures[pButton->text().remove('&')] = pButton->icon().isNull() ? QImage()
                                                                         : pButton->icon().pixmap(16).toImage();
    }
    return pictures;
}

QPushButton* AddButton(CPropertySheet& sheet)
{
    for (QPushButton* pButton : sheet.GetActivePage()->GetSafeHwnd()->findChildren<QPushButton*>())
        if (pButton->text().remove('&') == "Add")
            return pButton;
    return nullptr;
}

} // namespace

TEST(ButtonPictures, EveryBoxAndWindowShowsThemWhereTheThemeDoesAndNoneWhereItDoesNot)
{
    CModalScript script;
    RunDemoApplication(
        [&](CPropertySheet& sheet) {
            EXPECT_TRUE(Pictures(sheet.GetSafeHwnd())["OK"].isNull()) << "offscreen gives no pictures";
            PressSheetButton(sheet, IDCANCEL);
        },
        &script);

    const CButtonPictures pictures;
    const QImage ok = Picture(QStyle::SP_DialogOkButton);
    const QImage cancel = Picture(QStyle::SP_DialogCancelButton);
    ASSERT_FALSE(ok.isNull());
    ASSERT_NE(ok, cancel);
    std::map<QString, std::map<QString, QImage>> seen;
    const auto record = [&](const char* pszWindow) {
        return [&seen, pszWindow](QDialog* pDialog) {
            seen[pszWindow] = Pictures(pDialog);
            pDialog->reject();
        };
    };
    RunDemoApplication(
        [&](CPropertySheet& sheet) {
            seen["sheet"] = Pictures(sheet.GetSafeHwnd());
            script.Then(record("error box"));
            sheet.MessageBox("Seen with its pictures", "Error");
            for (int i = 0; i < sheet.GetPageCount(); ++i) {
                if (sheet.GetTabControl()->GetItemText(i) == "Address Book")
                    sheet.SetActivePage(i);
            }
            ASSERT_NE(AddButton(sheet), nullptr);
            script.Then(record("text entry"));
            ClickButton(AddButton(sheet));
            sheet.GetActivePage()->SetModified(TRUE);
            script.Then(record("unsaved changes")).ThenDiscardChanges();
            PressSheetButton(sheet, IDCANCEL);
            PressSheetButton(sheet, IDCANCEL);
        },
        &script);
    script.Then(record("card chooser"));
    CCardChooserDlg({}).DoModal();

    EXPECT_EQ(seen["sheet"]["OK"], ok);
    EXPECT_EQ(seen["sheet"]["Cancel"], cancel);
    EXPECT_EQ(seen["sheet"]["Apply"], Picture(QStyle::SP_DialogApplyButton));
    EXPECT_EQ(seen["error box"]["OK"], ok);
    EXPECT_EQ(seen["text entry"]["OK"], ok);
    EXPECT_EQ(seen["text entry"]["Cancel"], cancel);
    EXPECT_EQ(seen["unsaved changes"]["Discard"], Picture(QStyle::SP_DialogDiscardButton));
    EXPECT_EQ(seen["unsaved changes"]["Cancel"], cancel);
    EXPECT_EQ(seen["card chooser"]["Open"], ok);
    EXPECT_EQ(seen["card chooser"]["Cancel"], cancel);
}
