#pragma once
// Rewriting a section without losing what the card stores. A page rebuilds its section from its
// controls, but the frame (or a newer frame) may keep more there than the page knows: attributes,
// further elements, comments. A rewrite therefore starts a new element where the stored one stands
// and, when it is finished, carries over every part of the stored element whose name the page does
// not write, after the page's own children and in their stored order.

#include "platform/String.h"

#include <initializer_list>
#include <vector>

class TiXmlElement;

// The names a page writes in a section. Entries are the repeated rows of a list (EmailDetails,
// RssDetails, ...): they are rewritten from the list as a whole and never matched up one by one.
struct CSectionNames
{
    std::initializer_list<const char*> known;
    std::initializer_list<const char*> entries;
};

// A new, empty element named pszName: in pOld's place when bInPlace (or at the end of pParent when
// there is no pOld), else at the end of pParent. The page fills it, then calls FinishRewrite.
TiXmlElement* StartRewrite(TiXmlElement* pParent, TiXmlElement* pOld, const char* pszName, bool bInPlace = true);
// Carries pOld's attributes and unknown parts into pNew, level by level, then removes pOld.
void FinishRewrite(TiXmlElement* pNew, TiXmlElement* pOld, const CSectionNames& names);

// The stored entries of one list, handed out again to hold the list's rows. A heavy card's confirm
// built 60,000 elements and texts for its lists and let go as many. A stored entry that has exactly
// the shape of a new one (no attributes; the given fields as its children, in that order, each
// without attributes and holding one plain text; without fields, one plain text itself) is moved
// into the new section and only its texts are set, which writes the same section as a new entry.
// Entries of another shape stay where they are, and new ones are made instead.
class CStoredEntries
{
public:
    // pOldGroup is the stored element holding the entries, or nullptr.
    CStoredEntries(TiXmlElement* pOldGroup, const char* pszEntry, std::initializer_list<const char*> fields = {});
    // Appends an entry to pParent holding the values, one per field, or the one value of an entry
    // without fields.
    void Append(TiXmlElement* pParent, std::initializer_list<const char*> values);

private:
    bool Fits(const TiXmlElement* pEntry) const;
    TiXmlElement* TakeFitting();

    TiXmlElement* m_pNext;
    const char* m_pszEntry;
    std::vector<const char*> m_fields;
};

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
