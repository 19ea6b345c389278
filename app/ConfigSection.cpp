#include "app/ConfigSection.h"

#include "app/ConfigDocument.h"
#include "app/XmlFile.h"

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

// An element without attributes whose only child is a plain text.
bool HoldsOnlyText(const TiXmlElement* pElement)
{
    const TiXmlNode* pChild = pElement->FirstChild();
    return !pElement->FirstAttribute() && pChild && pChild == pElement->LastChild() && pChild->ToText()
        && !pChild->ToText()->CDATA();
}

} // namespace

CStoredEntries::CStoredEntries(TiXmlElement* pOldGroup, const char* pszEntry, std::initializer_list<const char*> fields)
    : m_pNext(pOldGroup ? pOldGroup->FirstChildElement(pszEntry) : nullptr), m_pszEntry(pszEntry), m_fields(fields)
{}

bool CStoredEntries::Fits(const TiXmlElement* pEntry) const
{
    if (m_fields.empty())
        return HoldsOnlyText(pEntry);
    if (pEntry->FirstAttribute())
        return false;
    const TiXmlNode* pChild = pEntry->FirstChild();
    for (const char* pszField : m_fields) {
        const TiXmlElement* pField = pChild ? pChild->ToElement() : nullptr;
        if (!pField || pField->ValueStr() != pszField || !HoldsOnlyText(pField))
            return false;
        pChild = pChild->NextSibling();
    }
    return pChild == nullptr;
}

TiXmlElement* CStoredEntries::TakeFitting()
{
    while (m_pNext) {
        TiXmlElement* pEntry = m_pNext;
        m_pNext = m_pNext->NextSiblingElement(m_pszEntry);
        if (Fits(pEntry)) {
            UnlinkXmlNode(pEntry);
            return pEntry;
        }
    }
    return nullptr;
}

void CStoredEntries::Append(TiXmlElement* pParent, std::initializer_list<const char*> values)
{
    const char* const* pValue = values.begin();
    const auto nextValue = [&]() {
        const char* pszValue = pValue != values.end() && *pValue ? *pValue : "";
        if (pValue != values.end())
            ++pValue;
        return pszValue;
    };
    TiXmlElement* pEntry = TakeFitting();
    if (pEntry) {
        pParent->LinkEndChild(pEntry);
        if (m_fields.empty()) {
            pEntry->FirstChild()->SetValue(nextValue());
            return;
        }
        for (TiXmlNode* pField = pEntry->FirstChild(); pField; pField = pField->NextSibling())
            pField->FirstChild()->SetValue(nextValue());
        return;
    }
    if (m_fields.empty()) {
        AppendTextElement(pParent, m_pszEntry, nextValue());
        return;
    }
    pEntry = AppendElement(pParent, m_pszEntry);
    for (const char* pszField : m_fields)
        AppendTextElement(pEntry, pszField, nextValue());
}

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

bool ClearDefaultMark(TiXmlElement* pAccessPoint)
{
    TiXmlElement* pDefault = pAccessPoint ? pAccessPoint->FirstChildElement("Default") : nullptr;
    if (!pDefault || GetChildValue(pAccessPoint, "Default") != "true")
        return false;
    pDefault->Clear();
    pDefault->LinkEndChild(new TiXmlText("false"));
    return true;
}

void ClearOtherDefaultMarks(TiXmlElement* pSection, const TiXmlElement* pKept)
{
    for (TiXmlElement* p = pSection ? pSection->FirstChildElement("AccessPoint") : nullptr; p;
         p = p->NextSiblingElement()) {
        if (p != pKept)
            ClearDefaultMark(p);
    }
}
