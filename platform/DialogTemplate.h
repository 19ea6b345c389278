// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog templates: Qt Designer files compiled into the program and found by their numeric id, the
// way a page names its template. Each control in a template carries its numeric id in the dynamic
// property "ctrlId"; the template's window title is the page's caption.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <string>

class QSize;
class QWidget;

// One entry of the program's template table: the id and the uic-generated setup function.
struct DialogTemplateEntry
{
    UINT nID;
    void (*pfnSetup)(QWidget* pWidget);
};

class CDialogTemplate
{
public:
    // The program hands its table over before it makes any page; the table ends with an entry whose
    // setup function is null and must outlive every page.
    static void SetTable(const DialogTemplateEntry* pTable);
    // The template with this id, or nullptr when the program has none.
    static const CDialogTemplate* Find(UINT nID);

    // A new window of pParent with the template's controls.
    QWidget* Create(QWidget* pParent) const;
    const CString& GetCaption() const { return m_strCaption; }
    // The size the template was drawn at, or more where its layout needs more at the current font.
    QSize GetSize() const;
    // The least size its layout needs at the current font.
    QSize GetMinimumSize() const;

private:
    void Measure() const;
    // Builds the template into a window of its own, measures it and keeps it for Create.
    const QWidget& Build() const;
    // Keeps the sizes of the template as built into that widget, at the current font.
    void Record(const QWidget& built) const;

    const DialogTemplateEntry* m_pEntry = nullptr;
    CString m_strCaption;
    // Measured at the font named by m_strFontKey; a new font is measured anew.
    mutable std::string m_strFontKey;
    mutable int m_cx = 0;
    mutable int m_cy = 0;
    mutable int m_cxMinimum = 0;
    mutable int m_cyMinimum = 0;
};
