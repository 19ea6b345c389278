// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/ListEntries.h"

BOOL AddListEntry(CWnd* pPage, CReportCtrl& list, const char* pszTitle, std::initializer_list<CEntryField> fields)
{
    CTextEntryDlg dlg;
    for (const CEntryField& field : fields)
        dlg.AddField(field.pszLabel, "", 0, field.check);
    if (dlg.DoModal(pPage, pszTitle) != IDOK)
        return FALSE;
    // The new entry stands at the top, where the user sees it; the list is not sorted again.
    const int nRow = list.InsertItem(0, "");
    for (int i = 0; i < static_cast<int>(fields.size()); ++i)
        list.SetItemText(nRow, i, dlg.GetFieldText(i));
    return TRUE;
}

BOOL RemoveSelectedEntries(CReportCtrl& list)
{
    BOOL bRemoved = FALSE;
    for (int nRow = list.GetFirstItem(RC_ITEM_SELECTED, -1); nRow >= 0;
         nRow = list.GetFirstItem(RC_ITEM_SELECTED, -1)) {
        list.DeleteItem(nRow, FALSE);
        bRemoved = TRUE;
    }
    return bRemoved;
}
