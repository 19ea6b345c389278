#include "platform/SysColor.h"

#include <QApplication>
#include <QPalette>

COLORREF GetSysColor(int nIndex)
{
    const QPalette palette = QApplication::palette();
    QColor color;
    switch (nIndex) {
    case COLOR_WINDOW:
        color = palette.color(QPalette::Active, QPalette::Base);
        break;
    case COLOR_WINDOWTEXT:
        color = palette.color(QPalette::Active, QPalette::Text);
        break;
    case COLOR_INACTIVECAPTION:
        color = palette.color(QPalette::Inactive, QPalette::Highlight);
        break;
    case COLOR_CAPTIONTEXT:
        color = palette.color(QPalette::Active, QPalette::HighlightedText);
        break;
    case COLOR_BTNFACE:
        color = palette.color(QPalette::Active, QPalette::Button);
        break;
    default:
        return 0;
    }
    return RGB(color.red(), color.green(), color.blue());
}
