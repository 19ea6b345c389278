#include "platform/DialogTemplate.h"

#include "platform/Accessibility.h"
#include "platform/QtBridge.h"

#include <QApplication>
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
    // The caption is read once per template by building it into a scratch widget, since the sheet
    // needs it before any page window exists; the same build gives its size at the current font,
    // which the sheet asks for next.
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
        tmpl.Record(scratch);
        return &tmpl;
    }
    return nullptr;
}

void CDialogTemplate::Measure() const
{
    const std::string fontKey = QApplication::font().key().toStdString();
    if (fontKey == m_strFontKey)
        return;
    QWidget scratch;
    m_pEntry->pfnSetup(&scratch);
    Record(scratch);
}

void CDialogTemplate::Record(const QWidget& built) const
{
    const QSize minimum = built.minimumSizeHint().expandedTo(QSize(0, 0));
    const QSize size = minimum.expandedTo(built.size());
    m_cxMinimum = minimum.width();
    m_cyMinimum = minimum.height();
    m_cx = size.width();
    m_cy = size.height();
    m_strFontKey = QApplication::font().key().toStdString();
}

QSize CDialogTemplate::GetSize() const
{
    Measure();
    return QSize(m_cx, m_cy);
}

QSize CDialogTemplate::GetMinimumSize() const
{
    Measure();
    return QSize(m_cxMinimum, m_cyMinimum);
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
