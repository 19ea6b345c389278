// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the platform layer: the only place where our byte strings meet Qt's strings, and the
// helpers the platform's windows share on Qt's own types.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <QRect>
#include <QStyle>

#include <QString>

class QWidget;

QString ToQString(const CString& str);
CString FromQString(const QString& str);

// Text of a control, kept lossless: a control remembers the exact bytes it was given, and reading it
// back returns those bytes for as long as its shown text is unchanged. A value that is not valid UTF-8
// is shown with replacement characters but written back as it came, unless the user edits it.
void SetControlText(QWidget* pWidget, const CString& str);
CString GetControlText(const QWidget* pWidget);

// Tab enters a group of radio buttons (the auto-exclusive ones of one parent) at its checked button
// and leaves it at once; the arrow keys move within it. Qt stops at the group's first button
// instead, so only the checked one (the first while none is) takes Tab, while a click still gives
// any of them the focus. Call for a button whenever its group's choice may have changed.
class QAbstractButton;
void KeepTabStopOnCheckedButton(QAbstractButton* pButton);

// A window's OK, Cancel, Apply or Discard button carries its action's picture exactly when Qt's own
// boxes give theirs one: the desktop's theme decides, and every box and window looks alike.
void GiveDialogButtonIcon(QAbstractButton* pButton, QStyle::StandardPixmap nPicture);

QRect ToQRect(const CRect& rect);
CRect FromQRect(const QRect& rect);

// Icons are pictures inside the platform layer.
class QPixmap;
struct CIconData;
CIconData* NewIcon(const QPixmap& pixmap);
const QPixmap& IconPixmap(CIconData* hIcon);

// The program's own pictures, read from its resources by their named format alone. Qt's image
// reader, even told the format, first lists every image plugin installed to see whether one claims
// it; these decode without asking any plugin, so starting costs the same on every machine. Each
// returns a null image for a resource that is missing or not a picture of that format.
class QImage;
// An uncompressed Windows bitmap of 24 or 32 bits per pixel, opaque.
QImage ReadBitmapResource(const QString& strPath);
// A PNG picture, with its transparency.
QImage ReadPngResource(const QString& strPath);
