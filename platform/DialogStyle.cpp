// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DialogStyle.h"

#include "platform/QtBridge.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

#include <map>

namespace {

class CDialogStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                       const QWidget* pWidget) const override
    {
        if (element == PE_Frame && (pOption->state & State_HasFocus)
            && qobject_cast<const QAbstractItemView*>(pWidget)) {
            DrawFocusedFrame(pOption, pPainter, pWidget);
            return;
        }
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, pOption, pPainter, pWidget);
            return;
        }
        // Fusion's frame: a softly rounded line a little darker than the window, the inside a shade
        // darker, starting below the title (or near the top when there is none).
        const auto* pBox = qobject_cast<const QGroupBox*>(pWidget);
        const int nTitleHeight = pBox && !pBox->isCheckable() && pBox->title().isEmpty()
            ? 0
            : qMax(pixelMetric(PM_ExclusiveIndicatorHeight), pOption->fontMetrics.height());
        const QRectF frame = QRectF(pOption->rect.adjusted(0, nTitleHeight + 4, 0, 0)).adjusted(0.5, 0.5, -0.5, -0.5);
        pPainter->save();
        pPainter->setRenderHint(QPainter::Antialiasing);
        pPainter->setPen(QColor(0, 0, 0, 48));
        pPainter->setBrush(QColor(0, 0, 0, 10));
        pPainter->drawRoundedRect(frame, 2, 2);
        pPainter->restore();
    }

    // Fusion asks the desktop's icon theme for a dialog button's picture, which makes Qt list every
    // icon engine plugin installed, and then takes Qt's own; the sheet's buttons carry them from the
    // start. Qt's own pictures come from here instead, read without any plugin.
    QIcon standardIcon(StandardPixmap nPicture, const QStyleOption* pOption, const QWidget* pWidget) const override
    {
        const char* pszName = ButtonPictureName(nPicture);
        if (!pszName)
            return QProxyStyle::standardIcon(nPicture, pOption, pWidget);
        QIcon& icon = m_buttonIcons[nPicture];
        if (icon.isNull()) {
            for (int nSize : {16, 32, 128}) {
                const QImage picture = ReadPngResource(
                    QString(":/qt-project.org/styles/commonstyle/images/%1-%2.png").arg(pszName).arg(nSize));
                if (!picture.isNull())
                    icon.addPixmap(QPixmap::fromImage(picture));
            }
        }
        return icon.isNull() ? QProxyStyle::standardIcon(nPicture, pOption, pWidget) : icon;
    }

private:
    static const char* ButtonPictureName(StandardPixmap nPicture)
    {
        switch (nPicture) {
        case SP_DialogOkButton:
            return "standardbutton-ok";
        case SP_DialogCancelButton:
            return "standardbutton-cancel";
        case SP_DialogApplyButton:
            return "standardbutton-apply";
        case SP_DialogDiscardButton:
            return "standardbutton-delete";
        case SP_DialogSaveButton:
            return "standardbutton-save";
        default:
            return nullptr;
        }
    }

    mutable std::map<int, QIcon> m_buttonIcons;

    // Fusion marks the focused edit box with a frame in the selection colour but gives a list or a
    // tree no sign of the focus at all, so a keyboard user could not tell that the arrow keys move
    // through the page tree. Lists and trees get the edit box's mark.
    void DrawFocusedFrame(const QStyleOption* pOption, QPainter* pPainter, const QWidget* pWidget) const
    {
        QProxyStyle::drawPrimitive(PE_Frame, pOption, pPainter, pWidget);
        QColor outline = pOption->palette.highlight().color().darker(125);
        if (outline.value() > 160)
            outline.setHsl(outline.hue(), outline.saturation(), 160);
        pPainter->save();
        pPainter->setRenderHint(QPainter::Antialiasing);
        pPainter->setBrush(Qt::NoBrush);
        pPainter->setPen(outline);
        pPainter->drawRoundedRect(QRectF(pOption->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        outline.setAlpha(80);
        pPainter->setPen(outline);
        pPainter->drawRect(QRectF(pOption->rect).adjusted(1.5, 1.5, -1.5, -1.5));
        pPainter->restore();
    }
};

} // namespace

void GiveDialogButtonIcon(QAbstractButton* pButton, QStyle::StandardPixmap nPicture)
{
    QStyle* pStyle = pButton->style();
    if (pStyle->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons, nullptr, pButton))
        pButton->setIcon(pStyle->standardIcon(nPicture, nullptr, pButton));
}

void UseDialogStyle()
{
    QStyle* pStyle = QApplication::style();
    if (pStyle && pStyle->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
        QApplication::setStyle(new CDialogStyle(pStyle->name()));
}
