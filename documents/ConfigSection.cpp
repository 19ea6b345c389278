// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/ConfigSection.h"

#include "documents/ConfigDocument.h"
#include "documents/ScrambledText.h"
#include "documents/XmlFile.h"

#include <tinyxml.h>

#include <cstring>

namespace {

// The names a page writes in a section. Entries are the repeated rows of a list (EmailDetails,
// RssDetails, ...): they are rewritten from the list as a whole and never matched up one by one.
struct CSectionNames
{
    std::vector<const char*> known;
    std::vector<const char*> entries;
};

bool Contains(const std::vector<const char*>& names, const char* pszName)
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
    CStoredEntries(const TiXmlElement* pOldGroup, const char* pszEntry, const std::vector<const char*>& fields)
        : m_pNext(pOldGroup ? const_cast<TiXmlElement*>(pOldGroup)->FirstChildElement(pszEntry) : nullptr),
          m_pszEntry(pszEntry),
          m_fields(fields)
    {}
    // Appends row nRow to pParent: one text per field, or the one text of an entry without fields.
    void Append(TiXmlElement* pParent, int nRow, const CSectionElement::Cell& cell);

private:
    bool Fits(const TiXmlElement* pEntry) const;
    TiXmlElement* TakeFitting();

    TiXmlElement* m_pNext;
    const char* m_pszEntry;
    const std::vector<const char*>& m_fields;
};

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

void CStoredEntries::Append(TiXmlElement* pParent, int nRow, const CSectionElement::Cell& cell)
{
    const auto value = [&](int nField) {
        const char* pszValue = cell(nRow, nField);
        return pszValue ? pszValue : "";
    };
    if (TiXmlElement* pEntry = TakeFitting()) {
        pParent->LinkEndChild(pEntry);
        if (m_fields.empty()) {
            pEntry->FirstChild()->SetValue(value(0));
            return;
        }
        int nField = 0;
        for (TiXmlNode* pField = pEntry->FirstChild(); pField; pField = pField->NextSibling())
            pField->FirstChild()->SetValue(value(nField++));
        return;
    }
    if (m_fields.empty()) {
        AppendTextElement(pParent, m_pszEntry, value(0));
        return;
    }
    TiXmlElement* pEntry = AppendElement(pParent, m_pszEntry);
    for (size_t i = 0; i < m_fields.size(); ++i)
        AppendTextElement(pEntry, m_fields[i], value(static_cast<int>(i)));
}

} // namespace

CSectionElement::CSectionElement(Kind kind, const char* pszName) : m_kind(kind), m_pszName(pszName) {}

CSectionElement CSectionElement::Text(const char* pszName, const CString& strValue)
{
    CSectionElement element(Kind::Text, pszName);
    element.m_strValue = strValue;
    return element;
}

CSectionElement CSectionElement::Scrambled(const char* pszName, const CString& strValue)
{
    CSectionElement element(Kind::Scrambled, pszName);
    element.m_strValue = strValue;
    return element;
}

CSectionElement CSectionElement::Group(const char* pszName, std::vector<CSectionElement> children)
{
    CSectionElement element(Kind::Group, pszName);
    element.m_children = std::move(children);
    return element;
}

CSectionElement CSectionElement::Rows(const char* pszEntry, std::vector<const char*> fields, int nRows, Cell cell)
{
    CSectionElement element(Kind::Rows, pszEntry);
    element.m_fields = std::move(fields);
    element.m_nRows = nRows;
    element.m_cell = std::move(cell);
    return element;
}

CSectionElement CSectionElement::Only(bool bWritten) &&
{
    m_bWritten = bWritten;
    return std::move(*this);
}

// Writes a description into the document and collects the names it holds.
struct CSectionWriter
{
    static void CollectNames(const CSectionElement& element, CSectionNames& names)
    {
        (element.m_kind == CSectionElement::Kind::Rows ? names.entries : names.known).push_back(element.m_pszName);
        for (const char* pszField : element.m_fields)
            names.known.push_back(pszField);
        for (const CSectionElement& child : element.m_children)
            CollectNames(child, names);
    }

    static TiXmlElement* Rewrite(TiXmlElement* pParent, TiXmlElement* pOld, const CSectionElement& section,
                                 bool bInPlace)
    {
        MarkConfigChanged();
        TiXmlElement* pNew = nullptr;
        if (pOld && bInPlace) {
            if (TiXmlNode* pNode = pParent->InsertBeforeChild(pOld, TiXmlElement(section.m_pszName)))
                pNew = pNode->ToElement();
        }
        if (!pNew)
            pNew = AppendElement(pParent, section.m_pszName);
        WriteChildren(pNew, pOld, section);
        if (!pOld)
            return pNew;
        CSectionNames names;
        for (const CSectionElement& child : section.m_children)
            CollectNames(child, names);
        KeepUnknownParts(pNew, pOld, names);
        if (pOld->Parent())
            SetAsideReplacedSection(pOld);
        return pNew;
    }

    // The children of a group, appended to pNew; pOld is the stored group of that name, whose list
    // entries are handed out again to hold the rows.
    static void WriteChildren(TiXmlElement* pNew, const TiXmlElement* pOld, const CSectionElement& group)
    {
        for (const CSectionElement& child : group.m_children) {
            if (!child.m_bWritten)
                continue;
            switch (child.m_kind) {
            case CSectionElement::Kind::Text:
                AppendTextElement(pNew, child.m_pszName, child.m_strValue);
                break;
            case CSectionElement::Kind::Scrambled:
                AppendTextElement(pNew, child.m_pszName, child.m_strValue, CONFIG_KEY_TEXT);
                break;
            case CSectionElement::Kind::Group:
                WriteChildren(AppendElement(pNew, child.m_pszName),
                              pOld ? pOld->FirstChildElement(child.m_pszName) : nullptr, child);
                break;
            case CSectionElement::Kind::Rows: {
                CStoredEntries stored(pOld, child.m_pszName, child.m_fields);
                for (int nRow = 0; nRow < child.m_nRows; ++nRow)
                    stored.Append(pNew, nRow, child.m_cell);
                break;
            }
            }
        }
    }
};

TiXmlElement* RewriteSection(TiXmlElement* pParent, TiXmlElement* pOld, const CSectionElement& section, bool bInPlace)
{
    return CSectionWriter::Rewrite(pParent, pOld, section, bInPlace);
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
