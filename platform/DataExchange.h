// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog data exchange: one DoDataExchange function pairs each control with a member, and the
// direction decides whether controls are read into members or members shown in controls.

#include "platform/AfxTypes.h"
#include "platform/String.h"

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate; // TRUE: controls into members; FALSE: members into controls
    CWnd* m_pDlgWnd;
};

// An edit box and a string.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// The edit text of a combo box (for a drop-down list, the shown entry) and a string.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// A check box and an int, 0 or 1.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Makes a control object stand for the template's control; only the first exchange attaches it.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
