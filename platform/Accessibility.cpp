// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {

// Qt's own interface of a combo box, with its name taken from the widget's accessible name: all the
// rest (the list of choices, the actions, the value) is Qt's.
class CNamedComboBox : public QAccessibleInterface
{
public:
    CNamedComboBox(QComboBox* pCombo, QAccessibleInterface* pQtInterface)
        : m_pCombo(pCombo), m_pQt(pQtInterface), m_idQt(QAccessible::uniqueId(pQtInterface))
    {}
    ~CNamedComboBox() override
    {
        // Qt's interface stays in Qt's cache when this one takes its place; it goes with this one,
        // unless the cache let go of it first (when the application ends).
        if (QAccessible::accessibleInterface(m_idQt) == m_pQt)
            QAccessible::deleteAccessibleInterface(m_idQt);
    }

    bool isValid() const override { return m_pCombo && m_pQt->isValid(); }
    QObject* object() const override { return m_pCombo; }
    QWindow* window() const override { return m_pQt->window(); }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        return m_pQt->relations(match);
    }
    QAccessibleInterface* focusChild() const override { return m_pQt->focusChild(); }
    QAccessibleInterface* childAt(int x, int y) const override { return m_pQt->childAt(x, y); }
    QAccessibleInterface* parent() const override { return m_pQt->parent(); }
    QAccessibleInterface* child(int nIndex) const override { return m_pQt->child(nIndex); }
    int childCount() const override { return m_pQt->childCount(); }
    int indexOfChild(const QAccessibleInterface* pChild) const override { return m_pQt->indexOfChild(pChild); }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && m_pCombo && !m_pCombo->accessibleName().isEmpty())
            return m_pCombo->accessibleName();
        return m_pQt->text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override { m_pQt->setText(t, text); }
    QRect rect() const override { return m_pQt->rect(); }
    QAccessible::Role role() const override { return m_pQt->role(); }
    QAccessible::State state() const override { return m_pQt->state(); }
    void* interface_cast(QAccessible::InterfaceType type) override { return m_pQt->interface_cast(type); }

private:
    QPointer<QComboBox> m_pCombo;
    QAccessibleInterface* m_pQt;
    QAccessible::Id m_idQt;
};

// "&Password:" is said "Password".
QString SpokenLabel(const QString& text)
{
    QString spoken;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == '&' && i + 1 < text.size())
            ++i;
        spoken.append(text.at(i));
    }
    spoken = spoken.trimmed();
    if (spoken.endsWith(':'))
        spoken.chop(1);
    return spoken.trimmed();
}

void NameOnce(QWidget* pControl, const QString& name)
{
    if (pControl && pControl->accessibleName().isEmpty() && !name.isEmpty())
        pControl->setAccessibleName(name);
}

} // namespace

void NameControlsForScreenReaders(QWidget* pWindow)
{
    if (!pWindow)
        return;
    QLabel* pPrecedingLabel = nullptr;
    for (QWidget* pWidget : pWindow->findChildren<QWidget*>()) {
        // A combo box's list of choices is a window of its own, named by the combo box.
        if (pWidget->window() != pWindow->window())
            continue;
        if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
            NameOnce(pLabel->buddy(), SpokenLabel(pLabel->text()));
            pPrecedingLabel = pLabel->buddy() ? nullptr : pLabel;
            continue;
        }
        const bool bTakesText = qobject_cast<QLineEdit*>(pWidget) || qobject_cast<QComboBox*>(pWidget);
        if (bTakesText && pPrecedingLabel && pPrecedingLabel->parentWidget() == pWidget->parentWidget()
            && !qobject_cast<QComboBox*>(pWidget->parentWidget()))
            NameOnce(pWidget, SpokenLabel(pPrecedingLabel->text()));
        if (qobject_cast<QAbstractItemView*>(pWidget)) {
            for (QWidget* p = pWidget->parentWidget(); p && p != pWindow->parentWidget(); p = p->parentWidget()) {
                if (auto* pGroup = qobject_cast<QGroupBox*>(p); pGroup && !pGroup->title().isEmpty()) {
                    NameOnce(pWidget, SpokenLabel(pGroup->title()));
                    break;
                }
            }
        }
        if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
            QAccessibleInterface* pCurrent = QAccessible::queryAccessibleInterface(pCombo);
            if (pCurrent && !dynamic_cast<CNamedComboBox*>(pCurrent))
                QAccessible::registerAccessibleInterface(new CNamedComboBox(pCombo, pCurrent));
        }
        if (bTakesText || qobject_cast<QAbstractItemView*>(pWidget))
            pPrecedingLabel = nullptr;
    }
}
