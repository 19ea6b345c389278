#pragma once
// Resource ids: dialog templates, and the bitmaps of the page tree.

enum : unsigned {
    IDD_EMAIL = 107,
    IDD_NETWORK = 136,
    IDD_PC_SHARING = 137,
    IDD_ADDRESS_BOOK = 138,
    IDD_INTERNET_SHARING = 139,
};
