#pragma once
// Checks that several pages share. Each shows its refusal in a box captioned "Error", owned by the
// page, and answers FALSE, as the pages' own checks do.

#include "platform/Wnd.h"

// The frame reads a scrambled value back into a buffer that holds at most this many bytes; a longer
// password would be stored, but the frame would never log in with it.
const int MAX_PASSWORD_LENGTH = 127;

// Refuses a password longer than the frame can read; pszField names it for the user ("Key Password").
BOOL CheckPasswordLength(CWnd& rPage, const CString& strPassword, const char* pszField);
