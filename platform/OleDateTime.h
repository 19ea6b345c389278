// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// COleDateTime: a point in time read from a text, for comparing list cells as dates.
//
// A text is a date only when the whole of it, leading and trailing blanks aside, has one of these
// forms:
//   - ISO 8601 date:       2026-12-06
//   - ISO 8601 date-time:  2026-12-06T14:30, 2026-12-06T14:30:15 (also with a blank for the "T")
//   - the user's locale's short date, short date and time, and short time (a time alone stands on
//     the day 1899-12-30, as it does in the frame's own date type); such a text starts with a digit
//     and holds more than digits
// Anything else, including an empty text, is not a date.

#include "platform/AfxTypes.h"

class COleDateTime
{
public:
    // TRUE when the text is a date in one of the forms above; the value is then that date-time.
    BOOL ParseDateTime(const char* pszText);

    bool operator<(const COleDateTime& other) const { return m_nMsecs < other.m_nMsecs; }
    bool operator>(const COleDateTime& other) const { return m_nMsecs > other.m_nMsecs; }
    bool operator==(const COleDateTime& other) const { return m_nMsecs == other.m_nMsecs; }

private:
    long long m_nMsecs = 0; // milliseconds since 1970-01-01, UTC
};
