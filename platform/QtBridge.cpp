// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtBridge.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

const char* const kBytesProperty = "dpfTextBytes";

QString ShownText(const QWidget* pWidget)
{
    if (auto* pEdit = qobject_cast<const QLineEdit*>(pWidget))
        return pEdit->text();
    if (auto* pCombo = qobject_cast<const QComboBox*>(pWidget))
        return !pCombo->isEditable() && pCombo->currentIndex() < 0 ? pCombo->placeholderText() : pCombo->currentText();
    if (auto* pButton = qobject_cast<const QAbstractButton*>(pWidget))
        return pButton->text();
    if (auto* pLabel = qobject_cast<const QLabel*>(pWidget))
        return pLabel->text();
    if (auto* pGroup = qobject_cast<const QGroupBox*>(pWidget))
        return pGroup->title();
    return pWidget->windowTitle();
}

void SetShownText(QWidget* pWidget, const QString& text)
{
    if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
        pEdit->setText(text);
        pEdit->setCursorPosition(0);
    } else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
        if (pCombo->isEditable()) {
            pCombo->setEditText(text);
        } else {
            // A drop-down list selects the entry of that text. A text that is none of its entries is
            // shown all the same, so that a value like "None" or one the frame wrote is visible and read
            // back as it was; an empty text selects nothing and leaves the list as it is.
            const int nIndex = pCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (nIndex >= 0 || !text.isEmpty()) {
                pCombo->setCurrentIndex(nIndex);
                pCombo->setPlaceholderText(nIndex < 0 ? text : QString());
            }
        }
    } else if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
        pButton->setText(text);
    } else if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
        pLabel->setText(text);
    } else if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget)) {
        pGroup->setTitle(text);
    } else {
        pWidget->setWindowTitle(text);
    }
}

} // namespace

QString ToQString(const CString& str)
{
    return QString::fromUtf8(str.Bytes().data(), static_cast<qsizetype>(str.Bytes().size()));
}

CString FromQString(const QString& str)
{
    const QByteArray bytes = str.toUtf8();
    return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void SetControlText(QWidget* pWidget, const CString& str)
{
    if (!pWidget)
        return;
    pWidget->setProperty(kBytesProperty, QByteArray(str.Bytes().data(), static_cast<qsizetype>(str.Bytes().size())));
    SetShownText(pWidget, ToQString(str));
}

CString GetControlText(const QWidget* pWidget)
{
    if (!pWidget)
        return CString();
    const QString shown = ShownText(pWidget);
    const QVariant stored = pWidget->property(kBytesProperty);
    if (stored.isValid()) {
        const QByteArray bytes = stored.toByteArray();
        if (QString::fromUtf8(bytes) == shown)
            return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
    return FromQString(shown);
}

QRect ToQRect(const CRect& rect)
{
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

CRect FromQRect(const QRect& rect)
{
    return CRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
}

void KeepTabStopOnCheckedButton(QAbstractButton* pButton)
{
    if (!pButton || !pButton->autoExclusive() || !pButton->isCheckable() || !pButton->parentWidget())
        return;
    std::vector<QAbstractButton*> group;
    for (auto* pMember : pButton->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (pMember->autoExclusive() && pMember->isCheckable())
            group.push_back(pMember);
    }
    const auto checked = std::find_if(group.begin(), group.end(), [](QAbstractButton* p) { return p->isChecked(); });
    QAbstractButton* pStop = checked != group.end() ? *checked : group.front();
    for (QAbstractButton* pMember : group)
        pMember->setFocusPolicy(pMember == pStop ? Qt::StrongFocus : Qt::ClickFocus);
}
