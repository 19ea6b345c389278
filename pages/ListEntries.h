// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Adding and removing rows of a page's list, as the address book and feed pages both do: a new entry
// comes from a text entry window and goes to the top of the list; Remove takes exactly the selected
// rows away.

#include "ui/ReportCtrl.h"
#include "ui/TextEntryDlg.h"

#include <initializer_list>

// One value of a new entry: its label and, for a value with a form to meet, its check.
struct CEntryField
{
    const char* pszLabel;
    CTextEntryDlg::FieldCheck check;
};

// Asks for one value per field in a text entry window owned by pPage; on OK inserts them as a new top
// row. TRUE when a row was added.
BOOL AddListEntry(CWnd* pPage, CReportCtrl& list, const char* pszTitle, std::initializer_list<CEntryField> fields);
// Deletes the selected rows; TRUE when there were any.
BOOL RemoveSelectedEntries(CReportCtrl& list);
