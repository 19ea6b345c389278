// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DialogTemplate.h"

#include "platform/Accessibility.h"
#include "platform/QtBridge.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QWidget>

#include <limits>

#include <map>
#include <memory>

namespace {
const DialogTemplateEntry* s_pTable = nullptr;
// The builds that measured their templates, until a page takes one.
std::map<const CDialogTemplate*, std::unique_ptr<QWidget>> s_built;

void FreeKeptBuilds()
{
    s_built.clear();
}
} // namespace

void CDialogTemplate::SetTable(const DialogTemplateEntry* pTable)
{
    s_pTable = pTable;
}

const CDialogTemplate* CDialogTemplate::Find(UINT nID)
{
    // The caption is read once per template by building it, since the sheet needs it before any
    // page window exists; the same build gives its size at the current font, which the sheet asks
    // for next, and is kept to become the first page made from the template.
    static std::map<UINT, CDialogTemplate> cache;
    auto it = cache.find(nID);
    if (it != cache.end())
        return &it->second;
    for (const DialogTemplateEntry* pEntry = s_pTable; pEntry && pEntry->pfnSetup; ++pEntry) {
        if (pEntry->nID != nID)
            continue;
        CDialogTemplate& tmpl = cache[nID];
        tmpl.m_pEntry = pEntry;
        tmpl.m_strCaption = FromQString(tmpl.Build().windowTitle());
        return &tmpl;
    }
    return nullptr;
}

const QWidget& CDialogTemplate::Build() const
{
    // Widgets must go before the application does: builds still kept then are freed with it.
    if (s_built.empty())
        qAddPostRoutine(FreeKeptBuilds);
    auto pBuilt = std::make_unique<QWidget>();
    m_pEntry->pfnSetup(pBuilt.get());
    Record(*pBuilt);
    std::unique_ptr<QWidget>& pKept = s_built[this];
    pKept = std::move(pBuilt);
    return *pKept;
}

void CDialogTemplate::Measure() const
{
    const std::string fontKey = QApplication::font().key().toStdString();
    if (fontKey == m_strFontKey)
        return;
    Build();
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

QWidget* CDialogTemplate::Create(QWidget* pParent) const
{
    QWidget* pWidget = nullptr;
    // The build that measured the template becomes the page, unless the font changed since: building
    // the same controls again cost as much as the measuring, on the way to the first window.
    auto it = s_built.find(this);
    if (it != s_built.end()) {
        std::unique_ptr<QWidget> pBuilt = std::move(it->second);
        s_built.erase(it);
        if (s_built.empty())
            qRemovePostRoutine(FreeKeptBuilds);
        if (m_strFontKey == QApplication::font().key().toStdString()) {
            pWidget = pBuilt.release();
            pWidget->setParent(pParent);
        }
    }
    if (!pWidget) {
        pWidget = new QWidget(pParent);
        m_pEntry->pfnSetup(pWidget);
    }
    // Qt cuts edit boxes (and editable lists) at 32,767 characters unless told otherwise; a value
    // the frame stored must come back whole, however long.
    for (QLineEdit* pEdit : pWidget->findChildren<QLineEdit*>())
        pEdit->setMaxLength(std::numeric_limits<int>::max());
    NameControlsForScreenReaders(pWidget);
    return pWidget;
}
