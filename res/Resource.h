// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Resource ids: dialog templates, and the bitmaps of the page tree.

enum : unsigned {
    IDD_EMAIL = 107,
    IDD_NETWORK = 136,
    IDD_PC_SHARING = 137,
    IDD_ADDRESS_BOOK = 138,
    IDD_INTERNET_SHARING = 139,
};

// The "Show password" check box under a pair of password boxes, after the ids the pages already use;
// the Email page has a second one, for its incoming account.
enum : int {
    IDC_SHOW_PASSWORD = 1049,
    IDC_SHOW_POP_PASSWORD = 1050,
};

// A network page's "Use This PC's Password", under its "Show password".
enum : int { IDC_USE_PC_PASSWORD = 1051 };
