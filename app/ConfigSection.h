#pragma once
// Rewriting a section without losing what the card stores. A page rebuilds its section from its
// controls, but the frame (or a newer frame) may keep more there than the page knows: attributes,
// further elements, comments. A rewrite therefore starts a new element where the stored one stands
// and, when it is finished, carries over every part of the stored element whose name the page does
// not write, after the page's own children and in their stored order.

#include "platform/String.h"

#include <initializer_list>

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

// The text of a value the program compares or decodes (a "true"/"false" flag, a count, a literal):
// leading and trailing white space is no part of it. Free text is read with GetChildText instead,
// byte for byte.
CString GetChildValue(const TiXmlElement* pParent, const char* pszName);
CString TrimBlanks(const CString& strText);
