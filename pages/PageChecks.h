// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks that several pages share. Each shows its refusal in a box captioned "Error", owned by the
// page, and answers FALSE, as the pages' own checks do.

#include "platform/Wnd.h"

#include <functional>
#include <vector>

// The frame reads a scrambled value back into a buffer that holds at most this many bytes; a longer
// password would be stored, but the frame would never log in with it.
const int MAX_PASSWORD_LENGTH = 127;

// A password longer than the frame can read; pszLabel names it for the user ("Key Password").
CString PasswordLengthProblem(const CString& strPassword, const char* pszLabel);

// The forms of value the frame can use. Each answers why the value cannot be used, naming the field
// by its label, or an empty string when it can. An empty value is refused too; a page that lets a
// field stay empty does not ask.
CString IPAddressProblem(const CString& strValue, const char* pszLabel);
CString NetMaskProblem(const CString& strValue, const char* pszLabel);
CString PortProblem(const CString& strValue, const char* pszLabel);
CString EmailAddressProblem(const CString& strValue, const char* pszLabel);
CString FeedURLProblem(const CString& strValue, const char* pszLabel);
// A server's host name or address: names of letters, digits and hyphens between dots; a name in
// another alphabet in its ASCII form ("xn--...").
CString HostNameProblem(const CString& strValue, const char* pszLabel);
// A Wi-Fi key for an encryption mode ("WEP64", "WEP128", "WPA1", "WPA2") and key type; any other mode
// sets no form for the key.
CString WifiKeyProblem(const CString& strKey, const CString& strMode, bool bHexKey);

// The fields of a page that have a form to meet. A field still holding what the page loaded is what
// the frame already works with: it is flagged, never refused, so a profile the user did not touch
// never keeps the sheet from closing.
class CValueChecks
{
public:
    // The field's problem now (empty when fine or not in use), and the inputs it depends on: the
    // field counts as changed once these differ from what they were at the load.
    using Problem = std::function<CString()>;
    using Inputs = std::function<CString()>;

    void Add(int nID, Problem problem, Inputs inputs);
    // The page has shown its stored values: they are the ones never refused.
    void RememberLoaded();
    // Shows each field's problem on the field itself, and clears it from fields that are fine.
    void Mark(CWnd& rPage) const;
    // Refuses the first changed field that has a problem, in the order the fields were added.
    BOOL Check(CWnd& rPage) const;

private:
    struct CField
    {
        int nID;
        Problem problem;
        Inputs inputs;
        CString strLoaded;
    };
    std::vector<CField> m_fields;
};
