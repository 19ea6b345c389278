#include "platform/DialogTemplate.h"

#include "platform/Accessibility.h"
#include "platform/QtBridge.h"

#include <QLineEdit>
#include <QWidget>

#include <limits>

#include <map>

namespace {
const DialogTemplateEntry* s_pTable = nullptr;
} // namespace

void CDialogTemplate::SetTable(const DialogTemplateEntry* pTable)
{
    s_pTable = pTable;
}

const CDialogTemplate* CDialogTemplate::Find(UINT nID)
{
    // Caption and size are read once per template by building it into a scratch widget, since the
    // sheet needs them before any page window exists.
    static std::map<UINT, CDialogTemplate> cache;
    auto it = cache.find(nID);
    if (it != cache.end())
        return &it->second;
    for (const DialogTemplateEntry* pEntry = s_pTable; pEntry && pEntry->pfnSetup; ++pEntry) {
        if (pEntry->nID != nID)
            continue;
        CDialogTemplate& tmpl = cache[nID];
        tmpl.m_pEntry = pEntry;
        QWidget scratch;
        pEntry->pfnSetup(&scratch);
        tmpl.m_strCaption = FromQString(scratch.windowTitle());
        const QSize size = scratch.minimumSizeHint().expandedTo(scratch.size());
        tmpl.m_cx = size.width();
        tmpl.m_cy = size.height();
        return &tmpl;
    }
    return nullptr;
}

QSize CDialogTemplate::GetSize() const
{
    return QSize(m_cx, m_cy);
}

void CDialogTemplate::Create(QWidget* pWidget) const
{
    m_pEntry->pfnSetup(pWidget);
    // Qt cuts edit boxes (and editable lists) at 32,767 characters unless told otherwise; a value
    // the frame stored must come back whole, however long.
    for (QLineEdit* pEdit : pWidget->findChildren<QLineEdit*>())
        pEdit->setMaxLength(std::numeric_limits<int>::max());
    NameControlsForScreenReaders(pWidget);
}
