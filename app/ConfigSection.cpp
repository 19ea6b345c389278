#include "app/ConfigSection.h"

#include "app/ConfigDocument.h"

#include <tinyxml.h>

#include <cstring>

namespace {

bool Contains(std::initializer_list<const char*> names, const char* pszName)
{
    for (const char* psz : names) {
        if (std::strcmp(psz, pszName) == 0)
            return true;
    }
    return false;
}

void KeepUnknownParts(TiXmlElement* pNew, const TiXmlElement* pOld, const CSectionNames& names)
{
    for (const TiXmlAttribute* pAttr = pOld->FirstAttribute(); pAttr; pAttr = pAttr->Next()) {
        if (!pNew->Attribute(pAttr->Name()))
            pNew->SetAttribute(pAttr->Name(), pAttr->Value());
    }
    // Groups the page writes once are matched with the stored group of that name, so that what the
    // frame keeps inside them survives too. List rows are not: after a sort they are other rows.
    for (TiXmlElement* pChild = pNew->FirstChildElement(); pChild; pChild = pChild->NextSiblingElement()) {
        if (Contains(names.entries, pChild->Value()))
            continue;
        if (const TiXmlElement* pStored = pOld->FirstChildElement(pChild->Value()))
            KeepUnknownParts(pChild, pStored, names);
    }
    for (const TiXmlNode* pNode = pOld->FirstChild(); pNode; pNode = pNode->NextSibling()) {
        // Text belongs to the value the page rewrote; declarations cannot stand inside an element.
        if (pNode->ToText() || pNode->ToDeclaration())
            continue;
        if (const TiXmlElement* pElement = pNode->ToElement()) {
            // The entries first: a stored list holds thousands of them and little else.
            if (Contains(names.entries, pElement->Value()) || Contains(names.known, pElement->Value()))
                continue;
        }
        pNew->InsertEndChild(*pNode);
    }
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

TiXmlElement* StartRewrite(TiXmlElement* pParent, TiXmlElement* pOld, const char* pszName, bool bInPlace)
{
    MarkConfigChanged();
    if (pOld && bInPlace) {
        if (TiXmlNode* pNode = pParent->InsertBeforeChild(pOld, TiXmlElement(pszName)))
            return pNode->ToElement();
    }
    return AppendElement(pParent, pszName);
}

void FinishRewrite(TiXmlElement* pNew, TiXmlElement* pOld, const CSectionNames& names)
{
    if (!pOld)
        return;
    KeepUnknownParts(pNew, pOld, names);
    if (pOld->Parent())
        SetAsideReplacedSection(pOld);
}

CString TrimBlanks(const CString& strText)
{
    const std::string& text = strText.Bytes();
    size_t nFirst = 0;
    size_t nEnd = text.size();
    while (nFirst < nEnd && IsBlank(text[nFirst]))
        ++nFirst;
    while (nEnd > nFirst && IsBlank(text[nEnd - 1]))
        --nEnd;
    return CString(text.substr(nFirst, nEnd - nFirst));
}

CString GetChildValue(const TiXmlElement* pParent, const char* pszName)
{
    return TrimBlanks(GetChildText(pParent, pszName));
}
