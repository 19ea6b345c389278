#pragma once
// Dialog templates: Qt Designer files compiled into the program and found by their numeric id, the
// way a page names its template. Each control in a template carries its numeric id in the dynamic
// property "ctrlId"; the template's window title is the page's caption.

#include "platform/AfxTypes.h"
#include "platform/String.h"

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

    // Builds the template's controls into pWidget.
    void Create(QWidget* pWidget) const;
    const CString& GetCaption() const { return m_strCaption; }
    // The size the template was drawn at, or more where its layout needs more.
    QSize GetSize() const;

private:
    const DialogTemplateEntry* m_pEntry = nullptr;
    CString m_strCaption;
    int m_cx = 0;
    int m_cy = 0;
};
