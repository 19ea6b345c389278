// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Show password" check box under a pair of password boxes: while it is checked both boxes show
// their text, so that a long key can be read back before it is stored.

#include "platform/Wnd.h"

#include <initializer_list>

// Shows the boxes as plain text while the check box is checked, masked while it is not.
void ShowPasswords(CWnd& rPage, int nCheckID, std::initializer_list<int> boxes);
// Unchecks the box and masks the boxes again. Pages do it each time they are shown: a password
// left readable is not left readable for whoever opens the page next.
void HidePasswords(CWnd& rPage, int nCheckID, std::initializer_list<int> boxes);
