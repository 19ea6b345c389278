// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DialogStyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

class CDialogStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                       const QWidget* pWidget) const override
    {
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
};

} // namespace

void UseDialogStyle()
{
    QStyle* pStyle = QApplication::style();
    if (pStyle && pStyle->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
        QApplication::setStyle(new CDialogStyle(pStyle->name()));
}
