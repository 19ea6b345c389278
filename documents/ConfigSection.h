// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rewriting a section without losing what the card stores. A page rebuilds its section from its
// controls, but the frame (or a newer frame) may keep more there than the page knows: attributes,
// further elements, comments. A rewrite therefore starts a new element where the stored one stands
// and, when it is finished, carries over every part of the stored element whose name the page does
// not write, after the page's own children and in their stored order.

#include "platform/String.h"

#include <functional>
#include <vector>

class TiXmlElement;

// One element of a section as a page writes it: a text (plain or scrambled), a group of further
// elements, or the rows of a list. A page describes its whole section once, in the order the frame
// keeps it; the same description writes the section and tells the rewrite which stored elements are
// the page's own, so a field is added in one place.
class CSectionElement
{
public:
    // A list's cell: the text of field nField (0 for an entry without fields) of row nRow.
    using Cell = std::function<const char*(int nRow, int nField)>;

    static CSectionElement Text(const char* pszName, const CString& strValue);
    // Stored scrambled under the program's key, as every password is.
    static CSectionElement Scrambled(const char* pszName, const CString& strValue);
    static CSectionElement Group(const char* pszName, std::vector<CSectionElement> children);
    // nRows entries named pszEntry, each holding one text per field in that order, or one text itself
    // when there are no fields. Entries are rewritten from the list as a whole, never matched up one
    // by one with the stored ones.
    static CSectionElement Rows(const char* pszEntry, std::vector<const char*> fields, int nRows, Cell cell);
    // The element is the page's own, but left out of the section this time (a key of an open
    // network): a stored one is dropped, not kept as unknown.
    CSectionElement Only(bool bWritten) &&;

private:
    friend struct CSectionWriter;
    enum class Kind { Text, Scrambled, Group, Rows };
    CSectionElement(Kind kind, const char* pszName);

    Kind m_kind;
    const char* m_pszName;
    CString m_strValue;
    std::vector<CSectionElement> m_children;
    std::vector<const char*> m_fields;
    int m_nRows = 0;
    Cell m_cell;
    bool m_bWritten = true;
};

// Rewrites the section described by section under pParent: a new element where pOld stands when
// bInPlace (or at the end of pParent when there is no pOld), else at the end of pParent, filled
// from the description, and then every part of pOld the page does not write (attributes, further
// elements, comments) carried over after the page's own children, level by level, and pOld taken
// out. Returns the new element.
TiXmlElement* RewriteSection(TiXmlElement* pParent, TiXmlElement* pOld, const CSectionElement& section,
                             bool bInPlace = true);

// Turns a stored profile's Default mark from "true" to "false" where it stands, so that the profile
// keeps its place and every other byte; a profile not marked is left alone. TRUE when it changed.
bool ClearDefaultMark(TiXmlElement* pAccessPoint);
// The same for every profile of a NetworkConnectionInfo section but pKept, walked as the frame walks
// them: the first AccessPoint and every sibling element after it.
void ClearOtherDefaultMarks(TiXmlElement* pSection, const TiXmlElement* pKept);

// The text of a value the program compares or decodes (a "true"/"false" flag, a count, a literal):
// leading and trailing white space is no part of it. Free text is read with GetChildText instead,
// byte for byte.
CString GetChildValue(const TiXmlElement* pParent, const char* pszName);
CString TrimBlanks(const CString& strText);
