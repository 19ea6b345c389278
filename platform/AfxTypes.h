#pragma once
// The handful of scalar types, constants and notification codes that the code
// above the platform layer is written against. Only what a caller uses lives here.

#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef std::intptr_t INT_PTR;
typedef std::intptr_t LRESULT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Dialog results and message box buttons.
enum : int { IDOK = 1, IDCANCEL = 2 };
enum : UINT { MB_OK = 0x00000000 };

// The Apply button of a property sheet has this control id, as OK and Cancel have IDOK and IDCANCEL.
enum : int { ID_APPLY_NOW = 0x3021 };

// Button check state messages and results.
enum : UINT { BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1 };
enum : int { BST_UNCHECKED = 0, BST_CHECKED = 1 };

// ShowWindow commands.
enum : int { SW_HIDE = 0, SW_SHOW = 5 };

// Control notifications that a page's command map can route.
enum : UINT { BN_CLICKED = 0, EN_CHANGE = 0x0300, CBN_EDITCHANGE = 5 };

// Header flags of property sheets and pages.
enum : DWORD { PSP_USETITLE = 0x00000008, PSP_HASHELP = 0x00000020, PSH_HASHELP = 0x00000200 };
