// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/XmlFile.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <strings.h>
#include <utility>
#include <vector>

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// The largest file parsed or printed so far, as a measure of the next one printed.
size_t g_nLargestText = 0;

bool StartsWith(const std::string& s, size_t i, const char* pszPrefix)
{
    const size_t n = std::strlen(pszPrefix);
    return i <= s.size() && s.size() - i >= n && std::memcmp(s.data() + i, pszPrefix, n) == 0;
}

// TinyXML starts an element at "<" followed by a letter, "_" or any byte from 127 up. Below 127 the
// letters are the same in every locale.
bool IsNameStart(unsigned char c)
{
    return c >= 127 || c == '_' || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

// Line ends become "\n", as TinyXML's own file reader makes them. Most files have none to change,
// and the runs between them are copied whole.
std::string NormaliseLineEnds(std::string text)
{
    size_t nCR = text.find('\r');
    if (nCR == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size());
    size_t nFrom = 0;
    while (nCR != std::string::npos) {
        out.append(text, nFrom, nCR - nFrom);
        out.push_back('\n');
        nFrom = nCR + 1;
        if (nFrom < text.size() && text[nFrom] == '\n')
            ++nFrom;
        nCR = text.find('\r', nFrom);
    }
    out.append(text, nFrom, std::string::npos);
    return out;
}

// A file without a byte-order mark is UTF-8 unless its declaration names another encoding. TinyXML
// reads a file without any declaration as single bytes and cuts a character reference such as
// "&#x263A;" to its lowest byte; XML's rule, and how the editor shows every value, is UTF-8.
bool ReadsAsUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    // A declaration in any case, as TinyXML tells one apart.
    if (text.size() - i < 5 || strncasecmp(text.c_str() + i, "<?xml", 5) != 0)
        return true;
    const size_t nEnd = text.find('>', i);
    const std::string decl = text.substr(i, nEnd == std::string::npos ? std::string::npos : nEnd - i);
    // Named in any case, as TinyXML reads the declaration.
    std::string lower = decl;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const size_t nEnc = lower.find("encoding");
    if (nEnc == std::string::npos)
        return true;
    size_t q = decl.find_first_of("\"'", nEnc);
    if (q == std::string::npos)
        return true;
    const size_t qEnd = decl.find(decl[q], q + 1);
    const std::string value = decl.substr(q + 1, qEnd == std::string::npos ? std::string::npos : qEnd - q - 1);
    return value.empty() || strcasecmp(value.c_str(), "UTF-8") == 0 || strcasecmp(value.c_str(), "UTF8") == 0;
}

// Appends the UTF-8 form of a code point the way TinyXML encodes character references.
void AppendUtf8(std::string& out, unsigned long ucs)
{
    if (ucs < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ucs >> 6)));
    } else if (ucs < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ucs >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ucs >> 6) & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ucs >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ucs >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ucs >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (ucs & 0x3F)));
}

// TinyXML's blank: what the locale calls one. Visible ASCII never is one, and the common blanks
// always are, so the locale is asked only about the other bytes.
bool IsXmlSpace(char c)
{
    const auto uc = static_cast<unsigned char>(c);
    if (uc > ' ' && uc < 127)
        return false;
    return uc == ' ' || (uc >= '\t' && uc <= '\r') || std::isspace(uc);
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || std::isdigit(c) || c == '-' || c == '.' || c == ':';
}

bool StartsWithNoCase(const std::string& s, size_t i, const char* pszPrefix)
{
    const size_t n = std::strlen(pszPrefix);
    return s.size() - std::min(i, s.size()) >= n && strncasecmp(s.c_str() + i, pszPrefix, n) == 0;
}

// Walks the text exactly as TinyXML's parser does, element by element, so that the depth it counts is
// the depth TinyXML will build: anything that hides markup from TinyXML (a quoted value in a
// declaration, an attribute value, a comment, CDATA, a character reference that runs to the next ";")
// hides it here too. Where TinyXML would stop with an error the walk stops, and the rest is copied
// unchanged. On the way it makes the two changes TinyXML's reader needs: numeric character
// references in a UTF-8 file become UTF-8, and a bare "&" (which TinyXML drops) becomes "&amp;".
// What it walks over is copied only where such a change is made: the output of most files is their
// text as it stands.
class CXmlScanner
{
public:
    CXmlScanner(const std::string& in, bool bConvertReferences)
        : m_in(in), m_n(std::min(in.size(), in.find('\0'))), m_bConvert(bConvertReferences)
    {}

    void Run()
    {
        while (!m_bStop && m_i < m_n) {
            if (m_nDepth == 0) {
                SkipSpace();
                if (m_i >= m_n || m_in[m_i] != '<')
                    break; // TinyXML ends the document at text outside every element
                Node();
            } else if (m_in[m_i] != '<') {
                if (!ReadText('<'))
                    Stop();
            } else if (m_i + 1 < m_in.size() && m_in[m_i + 1] == '/') {
                EndTag();
            } else {
                Node();
            }
        }
        if (m_bChanged)
            m_out.append(m_in, m_nCopied, std::string::npos);
    }

    int MaxDepth() const { return m_nMaxDepth; }
    int MaxAttributes() const { return m_nMaxAttributes; }
    const std::string& Output() const { return m_bChanged ? m_out : m_in; }

private:
    void Stop() { m_bStop = true; }
    bool AtEnd() const { return m_i >= m_n; }

    // Walks on to nEnd, keeping those bytes as they are.
    void CopyTo(size_t nEnd) { m_i = std::min(nEnd, m_n); }

    // Puts text in place of the bytes from here up to nEnd.
    void Replace(size_t nEnd, const std::string& text)
    {
        if (!m_bChanged) {
            m_out.reserve(m_in.size() + m_in.size() / 16);
            m_bChanged = true;
        }
        m_out.append(m_in, m_nCopied, m_i - m_nCopied);
        m_out.append(text);
        m_i = nEnd;
        m_nCopied = nEnd;
    }

    // Copies up to and with pszEnd, looked for only after the nStart bytes that opened the node: in
    // "<!-->" the comment's end is not its own opening dashes.
    void CopyThrough(const char* pszEnd, size_t nStart = 1)
    {
        const size_t nEnd = m_in.find(pszEnd, m_i + nStart);
        CopyTo(nEnd == std::string::npos || nEnd >= m_n ? m_n : nEnd + std::strlen(pszEnd));
    }

    void SkipSpace()
    {
        size_t k = m_i;
        while (k < m_n && IsXmlSpace(m_in[k]))
            ++k;
        CopyTo(k);
    }

    // One node at "<", told apart as TinyXML does: a declaration ("<?xml" in any case), a comment,
    // CDATA, an element, or anything else up to ">".
    void Node()
    {
        const char cNext = m_i + 1 < m_in.size() ? m_in[m_i + 1] : '\0';
        const bool bElement = m_i + 1 < m_n && IsNameStart(static_cast<unsigned char>(cNext));
        if (cNext == '?' && StartsWithNoCase(m_in, m_i, "<?xml"))
            Declaration();
        else if (cNext == '!' && StartsWith(m_in, m_i, "<!--"))
            CopyThrough("-->", 4);
        else if (cNext == '!' && StartsWith(m_in, m_i, "<![CDATA["))
            CopyThrough("]]>", 9);
        else if (bElement)
            StartTag();
        else
            CopyThrough(">");
    }

    // Only version, encoding and standalone are read as attributes (with quotes); anything else is
    // skipped up to a blank or ">".
    void Declaration()
    {
        CopyTo(m_i + 5);
        while (!AtEnd()) {
            if (m_in[m_i] == '>') {
                CopyTo(m_i + 1);
                return;
            }
            SkipSpace();
            if (StartsWithNoCase(m_in, m_i, "version") || StartsWithNoCase(m_in, m_i, "encoding")
                || StartsWithNoCase(m_in, m_i, "standalone")) {
                if (!Attribute())
                    return Stop();
            } else {
                size_t k = m_i;
                while (k < m_n && m_in[k] != '>' && !IsXmlSpace(m_in[k]))
                    ++k;
                CopyTo(k);
            }
        }
        Stop();
    }

    bool ReadName()
    {
        if (AtEnd() || !IsNameStart(static_cast<unsigned char>(m_in[m_i])))
            return false;
        size_t k = m_i;
        while (k < m_n && IsNameChar(static_cast<unsigned char>(m_in[k])))
            ++k;
        CopyTo(k);
        return !AtEnd();
    }

    bool Attribute()
    {
        SkipSpace();
        if (!ReadName())
            return false;
        SkipSpace();
        if (AtEnd() || m_in[m_i] != '=')
            return false;
        CopyTo(m_i + 1);
        SkipSpace();
        if (AtEnd())
            return false;
        const char c = m_in[m_i];
        if (c == '"' || c == '\'') {
            CopyTo(m_i + 1);
            if (!ReadText(c))
                return false;
            CopyTo(m_i + 1);
            return !AtEnd();
        }
        // Unquoted values are taken raw up to a blank, "/" or ">"; a quote in one is an error.
        size_t k = m_i;
        while (k < m_n && !IsXmlSpace(m_in[k]) && m_in[k] != '/' && m_in[k] != '>') {
            if (m_in[k] == '"' || m_in[k] == '\'')
                return false;
            ++k;
        }
        CopyTo(k);
        return !AtEnd();
    }

    void StartTag()
    {
        CopyTo(m_i + 1);
        const size_t nName = m_i;
        const bool bNamed = ReadName();
        const size_t nNameLength = m_i - nName;
        // TinyXML keeps an element in the tree from its name on, even when what follows fails.
        if (nNameLength > 0)
            m_nMaxDepth = std::max(m_nMaxDepth, m_nDepth + 1);
        if (!bNamed)
            return Stop();
        for (int nAttributes = 0;; ++nAttributes) {
            m_nMaxAttributes = std::max(m_nMaxAttributes, nAttributes);
            SkipSpace();
            if (AtEnd())
                return Stop();
            if (m_in[m_i] == '/') {
                if (m_i + 1 >= m_n || m_in[m_i + 1] != '>')
                    return Stop();
                CopyTo(m_i + 2);
                return;
            }
            if (m_in[m_i] == '>') {
                CopyTo(m_i + 1);
                ++m_nDepth;
                // Names beyond the limit need no keeping: such a text is refused anyway.
                if (m_open.size() <= static_cast<size_t>(kMaxXmlNesting))
                    m_open.emplace_back(nName, nNameLength);
                return;
            }
            if (!Attribute())
                return Stop();
        }
    }

    // TinyXML takes "</" followed by the open element's name, blanks and ">"; anything else ends the
    // parse with an error.
    void EndTag()
    {
        if (static_cast<size_t>(m_nDepth) <= m_open.size()) {
            const auto [nName, nLength] = m_open[static_cast<size_t>(m_nDepth) - 1];
            if (m_in.compare(m_i + 2, nLength, m_in, nName, nLength) != 0)
                return Stop();
            CopyTo(m_i + 2 + nLength);
            SkipSpace();
            if (AtEnd() || m_in[m_i] != '>')
                return Stop();
            CopyTo(m_i + 1);
            m_open.pop_back();
        } else {
            CopyThrough(">");
        }
        --m_nDepth;
    }

    // Text up to cEnd, with its references as TinyXML reads them. FALSE when it runs to the end.
    bool ReadText(char cEnd)
    {
        while (m_i < m_n && m_in[m_i] != cEnd) {
            if (m_in[m_i] != '&') {
                size_t k = m_i;
                while (k < m_n && m_in[k] != cEnd && m_in[k] != '&')
                    ++k;
                CopyTo(k);
            } else if (!Reference()) {
                return false;
            }
        }
        return !AtEnd();
    }

    // TinyXML's reading of a numeric reference: from "&#" to the first ";" anywhere after it, walked
    // back over digits to an "x" or "#", so "&#x<a>x;" is one reference that hides the "<a>".
    bool Reference()
    {
        static const char* const kNamed[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
        if (m_i + 2 < m_n && m_in[m_i + 1] == '#') {
            const bool bHex = m_in[m_i + 2] == 'x';
            if (bHex && m_i + 3 >= m_n)
                return false;
            const size_t nSemi = m_in.find(';', m_i + (bHex ? 3 : 2));
            if (nSemi == std::string::npos || nSemi >= m_n)
                return false;
            size_t q = nSemi - 1;
            unsigned long ucs = 0;
            unsigned long nMult = 1;
            while (m_in[q] != (bHex ? 'x' : '#')) {
                const unsigned char c = static_cast<unsigned char>(m_in[q]);
                if (!(bHex ? std::isxdigit(c) : std::isdigit(c)))
                    return false;
                ucs += nMult * static_cast<unsigned long>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
                nMult *= bHex ? 16 : 10;
                --q;
            }
            const size_t nDigits = nSemi - q - 1;
            if (m_bConvert && q == m_i + (bHex ? 2 : 1) && nDigits >= 1 && nDigits <= 8 && ucs >= 0x80
                && ucs < 0x200000) {
                std::string utf8;
                AppendUtf8(utf8, ucs);
                Replace(nSemi + 1, utf8);
            } else {
                CopyTo(nSemi + 1);
            }
            return true;
        }
        for (const char* pszNamed : kNamed) {
            if (StartsWith(m_in, m_i, pszNamed) && m_i + std::strlen(pszNamed) <= m_n) {
                CopyTo(m_i + std::strlen(pszNamed));
                return true;
            }
        }
        // TinyXML drops an "&" that starts no reference; written as "&amp;" it stays.
        Replace(m_i + 1, "&amp;");
        return true;
    }

    const std::string& m_in;
    const size_t m_n;
    bool m_bConvert;
    std::string m_out;
    // m_out holds the text up to m_nCopied, once a change was made.
    bool m_bChanged = false;
    size_t m_nCopied = 0;
    size_t m_i = 0;
    bool m_bStop = false;
    int m_nDepth = 0;
    int m_nMaxDepth = 0;
    int m_nMaxAttributes = 0;
    std::vector<std::pair<size_t, size_t>> m_open;
};

// TinyXML only removes a child by deleting it; its links are reached through a class of its own,
// which may name them.
class CNodeLinks : public TiXmlNode
{
public:
    static void Unlink(TiXmlNode* pNode)
    {
        TiXmlNode* TiXmlNode::*const pParentOf = &CNodeLinks::parent;
        TiXmlNode* TiXmlNode::*const pFirstOf = &CNodeLinks::firstChild;
        TiXmlNode* TiXmlNode::*const pLastOf = &CNodeLinks::lastChild;
        TiXmlNode* TiXmlNode::*const pPrevOf = &CNodeLinks::prev;
        TiXmlNode* TiXmlNode::*const pNextOf = &CNodeLinks::next;
        TiXmlNode* pParent = pNode->*pParentOf;
        TiXmlNode* pPrev = pNode->*pPrevOf;
        TiXmlNode* pNext = pNode->*pNextOf;
        (pNext ? pNext->*pPrevOf : pParent->*pLastOf) = pPrev;
        (pPrev ? pPrev->*pNextOf : pParent->*pFirstOf) = pNext;
        pNode->*pParentOf = nullptr;
        pNode->*pPrevOf = nullptr;
        pNode->*pNextOf = nullptr;
    }
};

} // namespace

void UnlinkXmlNode(TiXmlNode* pNode)
{
    CNodeLinks::Unlink(pNode);
}

int MeasureXmlNesting(const std::string& text)
{
    CXmlScanner scanner(text, false);
    scanner.Run();
    return scanner.MaxDepth();
}

BOOL ParseXmlFile(TiXmlDocument& doc, const std::string& bytes, bool& bHadBom, CString& strError)
{
    doc.Clear();
    doc.ClearError();
    g_nLargestText = std::max(g_nLargestText, bytes.size());
    bHadBom = bytes.compare(0, 3, kBom) == 0;
    const std::string text = NormaliseLineEnds(bHadBom ? bytes.substr(3) : bytes);

    CXmlScanner scanner(text, bHadBom || ReadsAsUtf8(text));
    scanner.Run();
    if (scanner.MaxDepth() > kMaxXmlNesting) {
        strError.Format("its elements are nested more than %d levels deep", kMaxXmlNesting);
        return FALSE;
    }
    if (scanner.MaxAttributes() > kMaxXmlAttributes) {
        strError.Format("an element holds more than %d attributes", kMaxXmlAttributes);
        return FALSE;
    }
    // Values keep their blanks: leading, trailing and repeated blanks in a name are part of it.
    TiXmlBase::SetCondenseWhiteSpace(false);
    // Without a tab size TinyXML does not count rows and columns as it goes: nothing here reports them.
    doc.SetTabSize(0);
    doc.Parse(scanner.Output().c_str(), nullptr, TIXML_ENCODING_LEGACY);
    if (doc.Error() || !doc.RootElement()) {
        strError = doc.Error() ? CString(doc.ErrorDesc()) : CString("it holds no element");
        doc.Clear();
        doc.ClearError();
        return FALSE;
    }
    return TRUE;
}

namespace {

// The printed text is gathered in a small buffer and appended to the file's string a few hundred
// bytes at a time: appended piece by piece, each tag, name and value cost a call of its own.
class CPrintBuffer
{
public:
    explicit CPrintBuffer(std::string& out) : m_out(out) {}
    CPrintBuffer& append(const char* pch, size_t n)
    {
        if (n > sizeof(m_buffer) - m_n) {
            Flush();
            if (n > sizeof(m_buffer)) {
                m_out.append(pch, n);
                return *this;
            }
        }
        std::memcpy(m_buffer + m_n, pch, n);
        m_n += n;
        return *this;
    }
    CPrintBuffer& append(const char* psz) { return append(psz, std::strlen(psz)); }
    CPrintBuffer& append(const std::string& text) { return append(text.data(), text.size()); }
    CPrintBuffer& operator+=(char c) { return append(&c, 1); }
    // What is gathered goes to the string; called once printing is done, and before a long piece.
    void Flush()
    {
        m_out.append(m_buffer, m_n);
        m_n = 0;
    }

private:
    std::string& m_out;
    char m_buffer[1024];
    size_t m_n = 0;
};

// TinyXML's layout, as TiXmlDocument::SaveFile prints it: four blanks a level, a lone text inside
// its element's tags, every other child on a line of its own, and TinyXML's own escapes. SaveFile
// makes an fprintf call for every tag, attribute and text; this appends the same bytes to one
// string, apart from mixed content (see HoldsMixedContent) and damaged declarations (see
// AppendDeclarationValue). Values are C strings to TinyXML's printer, so they end at a NUL here too.
void AppendEncoded(CPrintBuffer& out, const std::string& text)
{
    // Most values need no escape at all (TinyXML escapes the five markup characters and every byte
    // below 32): they are appended as they are, without a copy made byte by byte.
    const auto needsEscape = [](char c) {
        return static_cast<unsigned char>(c) < 32 || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'';
    };
    if (std::none_of(text.begin(), text.end(), needsEscape)) {
        out.append(text);
        return;
    }
    std::string encoded;
    TiXmlBase::EncodeString(text, &encoded);
    out.append(encoded.c_str());
}

void AppendIndent(CPrintBuffer& out, int nDepth)
{
    // Copied from a line of blanks rather than filled blank by blank: it comes before every tag.
    static const std::string kBlanks(4 * 16, ' ');
    const size_t nBlanks = 4 * static_cast<size_t>(nDepth);
    if (nBlanks <= kBlanks.size())
        out.append(kBlanks.data(), nBlanks);
    else
        out.append(std::string(nBlanks, ' '));
}

// Text (or CDATA) beside other nodes in one element. SaveFile puts each of the others on a line of its own;
// read back with blanks kept, that line end and indent join the text next to it, and every save adds
// more of them: a value "a" with a comment after it would come back as "a" and a line of blanks.
bool HoldsMixedContent(const TiXmlElement& element)
{
    if (element.FirstChild() == element.LastChild())
        return false;
    for (const TiXmlNode* pChild = element.FirstChild(); pChild; pChild = pChild->NextSibling()) {
        if (pChild->ToText())
            return true;
    }
    return false;
}

// One value of a declaration, as an attribute's is printed. SaveFile prints these as they stand,
// but a damaged declaration (a quote left open) can hold a quote, markup or an escape: printed bare,
// that would end the value early or hide the elements after it, and the saved file would not read
// back. A sound declaration's values need no escape and come out exactly as SaveFile prints them.
void AppendDeclarationValue(CPrintBuffer& out, const char* pszName, const char* pszValue)
{
    if (!*pszValue)
        return;
    const std::string value(pszValue);
    const char chQuote = value.find('"') == std::string::npos ? '"' : '\'';
    out.append(pszName).append("=") += chQuote;
    AppendEncoded(out, value);
    out += chQuote;
    out += ' ';
}

void PrintNode(const TiXmlNode& node, int nDepth, CPrintBuffer& out, bool bInline = false);

void PrintElement(const TiXmlElement& element, int nDepth, CPrintBuffer& out, bool bInline)
{
    if (!bInline)
        AppendIndent(out, nDepth);
    out.append("<").append(element.Value());
    for (const TiXmlAttribute* pAttribute = element.FirstAttribute(); pAttribute; pAttribute = pAttribute->Next()) {
        const char chQuote = pAttribute->ValueStr().find('"') == std::string::npos ? '"' : '\'';
        out += ' ';
        AppendEncoded(out, pAttribute->NameTStr());
        out.append("=") += chQuote;
        AppendEncoded(out, pAttribute->ValueStr());
        out += chQuote;
    }
    const TiXmlNode* pFirst = element.FirstChild();
    if (!pFirst) {
        out.append(" />");
    } else if (pFirst == element.LastChild() && pFirst->ToText()) {
        out += '>';
        PrintNode(*pFirst, nDepth + 1, out);
        out.append("</").append(element.Value()).append(">");
    } else if (HoldsMixedContent(element)) {
        out += '>';
        for (const TiXmlNode* pChild = pFirst; pChild; pChild = pChild->NextSibling())
            PrintNode(*pChild, nDepth + 1, out, true);
        out.append("</").append(element.Value()).append(">");
    } else {
        out += '>';
        for (const TiXmlNode* pChild = pFirst; pChild; pChild = pChild->NextSibling()) {
            if (!pChild->ToText())
                out += '\n';
            PrintNode(*pChild, nDepth + 1, out);
        }
        out += '\n';
        AppendIndent(out, nDepth);
        out.append("</").append(element.Value()).append(">");
    }
}

// bInline prints the node with nothing around it, as it stands inside mixed content.
void PrintNode(const TiXmlNode& node, int nDepth, CPrintBuffer& out, bool bInline)
{
    switch (node.Type()) {
    case TiXmlNode::TINYXML_DOCUMENT:
        for (const TiXmlNode* pChild = node.FirstChild(); pChild; pChild = pChild->NextSibling()) {
            PrintNode(*pChild, nDepth, out);
            out += '\n';
        }
        break;
    case TiXmlNode::TINYXML_ELEMENT:
        PrintElement(*node.ToElement(), nDepth, out, bInline);
        break;
    case TiXmlNode::TINYXML_TEXT:
        if (node.ToText()->CDATA() && bInline) {
            out.append("<![CDATA[").append(node.Value()).append("]]>");
        } else if (node.ToText()->CDATA()) {
            out += '\n';
            AppendIndent(out, nDepth);
            out.append("<![CDATA[").append(node.Value()).append("]]>\n");
        } else {
            AppendEncoded(out, node.ValueStr());
        }
        break;
    case TiXmlNode::TINYXML_COMMENT:
        if (!bInline)
            AppendIndent(out, nDepth);
        out.append("<!--").append(node.Value()).append("-->");
        break;
    case TiXmlNode::TINYXML_UNKNOWN:
        if (!bInline)
            AppendIndent(out, nDepth);
        out.append("<").append(node.Value()).append(">");
        break;
    case TiXmlNode::TINYXML_DECLARATION: {
        const TiXmlDeclaration& declaration = *node.ToDeclaration();
        out.append("<?xml ");
        AppendDeclarationValue(out, "version", declaration.Version());
        AppendDeclarationValue(out, "encoding", declaration.Encoding());
        AppendDeclarationValue(out, "standalone", declaration.Standalone());
        out.append("?>");
        break;
    }
    default:
        break;
    }
}

} // namespace

BOOL PrintXmlFile(const TiXmlDocument& doc, bool bWithBom, std::string& bytes)
{
    // Out of memory is a failed save with its message, not an exception through the event loop.
    try {
        bytes = bWithBom ? std::string(kBom) : std::string();
        // Room for twice the largest file seen, so that a file of a few megabytes is not copied into
        // ever larger buffers, each of them new memory to the system, as the text grows. What is
        // reserved and not written is never touched.
        bytes.reserve(2 * g_nLargestText);
        CPrintBuffer out(bytes);
        PrintNode(doc, 0, out);
        out.Flush();
        g_nLargestText = std::max(g_nLargestText, bytes.size());
        return TRUE;
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return FALSE;
    }
}
