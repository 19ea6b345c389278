// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderPickerDialog.h"

#include "platform/ModalLoop.h"
#include "platform/QtBridge.h"
#include "platform/Wnd.h"

#include <QDir>
#include <QFileDialog>

CFolderPickerDialog::CFolderPickerDialog(const char* pszFolder, const char* pszTitle, CWnd* pParentWnd)
    : m_strFolder(pszFolder), m_strTitle(pszTitle), m_pParentWnd(pParentWnd)
{}

int CFolderPickerDialog::DoModal()
{
    QWidget* pOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd() ? m_pParentWnd->GetSafeHwnd()->window() : nullptr;
    QFileDialog dialog(pOwner, ToQString(m_strTitle),
                       m_strFolder.IsEmpty() ? QDir::homePath() : ToQString(m_strFolder));
    dialog.setFileMode(QFileDialog::Directory);
    // Qt's own window, not a desktop portal's: it runs in our modal loop, where tests can reach it,
    // and behaves alike on every desktop.
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (CModalLoop::Run(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return IDCANCEL;
    m_strFolder = FromQString(QDir::cleanPath(dialog.selectedFiles().constFirst()));
    return IDOK;
}
