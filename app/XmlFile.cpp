#include "app/XmlFile.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <strings.h>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// The largest file parsed or printed so far, as a measure of the next one printed.
size_t g_nLargestText = 0;

// The walk asks this at every "<" of a file: the prefixes are literals, so their length is known.
template <size_t N>
bool StartsWith(const std::string& s, size_t i, const char (&prefix)[N])
{
    return i <= s.size() && s.size() - i >= N - 1 && std::memcmp(s.data() + i, prefix, N - 1) == 0;
}

// TinyXML starts an element at "<" followed by a letter, "_" or any byte from 127 up.
bool IsNameStart(unsigned char c)
{
    return c >= 127 || c == '_' || (c < 127 && std::isalpha(c));
}

// Line ends become "\n", as TinyXML's own file reader makes them.
std::string NormaliseLineEnds(const std::string& in)
{
    // A file written on this side has no carriage return at all: a byte-by-byte copy of a heavy card
    // cost more than reading it.
    if (in.find('\r') == std::string::npos)
        return in;
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < in.size() && in[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(in[i]);
        }
    }
    return out;
}

// TinyXML's rule for a file without a byte-order mark: UTF-8 when the first node is a declaration
// that names no encoding or names UTF-8.
bool DeclaresUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (!StartsWith(text, i, "<?xml"))
        return false;
    const size_t nEnd = text.find('>', i);
    const std::string decl = text.substr(i, nEnd == std::string::npos ? std::string::npos : nEnd - i);
    const size_t nEnc = decl.find("encoding");
    if (nEnc == std::string::npos)
        return true;
    size_t q = decl.find_first_of("\"'", nEnc);
    if (q == std::string::npos)
        return true;
    const size_t qEnd = decl.find(decl[q], q + 1);
    const std::string value = decl.substr(q + 1, qEnd == std::string::npos ? std::string::npos : qEnd - q - 1);
    return strcasecmp(value.c_str(), "UTF-8") == 0 || strcasecmp(value.c_str(), "UTF8") == 0;
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

bool IsXmlSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r';
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
class CXmlScanner
{
public:
    CXmlScanner(const std::string& in, bool bConvertReferences)
        : m_in(in), m_n(std::min(in.size(), in.find('\0'))), m_bConvert(bConvertReferences)
    {
        m_out.reserve(in.size());
    }

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
            } else if (StartsWith(m_in, m_i, "</")) {
                EndTag();
            } else {
                Node();
            }
        }
        m_out.append(m_in, m_nCopied, std::string::npos);
    }

    int MaxDepth() const { return m_nMaxDepth; }
    int MaxAttributes() const { return m_nMaxAttributes; }
    std::string& Output() { return m_out; }
    bool Stopped() const { return m_bStop; }
    // Where in the output the element whose text is nearest half of it starts and ends (0, 0 when
    // none was closed), for parsing it apart.
    std::pair<size_t, size_t> HalfElement() const { return m_half; }

private:
    void Stop() { m_bStop = true; }
    bool AtEnd() const { return m_i >= m_n; }

    // The output is the input but for the few references the walk rewrites: what is passed over
    // unchanged is copied in one piece when a change comes or the walk ends, not token by token.
    void CopyTo(size_t nEnd) { m_i = std::min(nEnd, m_n); }
    size_t OutputPosition() const { return m_out.size() + (m_i - m_nCopied); }
    void Replace(size_t nEnd, const char* pszWith)
    {
        m_out.append(m_in, m_nCopied, m_i - m_nCopied);
        if (pszWith)
            m_out.append(pszWith);
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

    // One node at "<", in the order in which TinyXML tells them apart.
    void Node()
    {
        if (StartsWithNoCase(m_in, m_i, "<?xml"))
            Declaration();
        else if (StartsWith(m_in, m_i, "<!--"))
            CopyThrough("-->", 4);
        else if (StartsWith(m_in, m_i, "<![CDATA["))
            CopyThrough("]]>", 9);
        else if (m_i + 1 < m_n && IsNameStart(static_cast<unsigned char>(m_in[m_i + 1]))
                 && !StartsWith(m_in, m_i, "<!"))
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
        const size_t nOutStart = OutputPosition();
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
                    m_open.push_back({nName, nNameLength, nOutStart});
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
            const auto [nName, nLength, nOutStart] = m_open[static_cast<size_t>(m_nDepth) - 1];
            if (m_in.compare(m_i + 2, nLength, m_in, nName, nLength) != 0)
                return Stop();
            CopyTo(m_i + 2 + nLength);
            SkipSpace();
            if (AtEnd() || m_in[m_i] != '>')
                return Stop();
            CopyTo(m_i + 1);
            m_open.pop_back();
            if (m_nDepth > 1)
                NoteElement(nOutStart, OutputPosition());
        } else {
            CopyThrough(">");
        }
        --m_nDepth;
    }

    void NoteElement(size_t nStart, size_t nEnd)
    {
        const size_t nHalf = m_in.size() / 2;
        const auto distance = [nHalf](size_t n) { return n > nHalf ? n - nHalf : nHalf - n; };
        if (m_half.second == 0 || distance(nEnd - nStart) < distance(m_half.second - m_half.first))
            m_half = {nStart, nEnd};
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
                Replace(m_i, nullptr);
                AppendUtf8(m_out, ucs);
                m_i = nSemi + 1;
                m_nCopied = m_i;
            } else {
                CopyTo(nSemi + 1);
            }
            return true;
        }
        for (const char* pszNamed : kNamed) {
            if (m_in.compare(m_i, std::strlen(pszNamed), pszNamed) == 0 && m_i + std::strlen(pszNamed) <= m_n) {
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
    size_t m_i = 0;
    size_t m_nCopied = 0; // the input before this is in the output
    bool m_bStop = false;
    int m_nDepth = 0;
    int m_nMaxDepth = 0;
    int m_nMaxAttributes = 0;
    // The open elements: where their names stand in the input, and where they start in the output.
    struct COpen
    {
        size_t nName;
        size_t nLength;
        size_t nOutStart;
    };
    std::vector<COpen> m_open;
    std::pair<size_t, size_t> m_half{0, 0};
};

// TinyXML only removes a child by deleting it, and only adds one at the end; its links are reached
// through a class of its own, which may name them.
class CNodeLinks : public TiXmlNode
{
public:
    static void Unlink(TiXmlNode* pNode)
    {
        TiXmlNode* pParent = pNode->*kParent;
        TiXmlNode* pPrev = pNode->*kPrev;
        TiXmlNode* pNext = pNode->*kNext;
        (pNext ? pNext->*kPrev : pParent->*kLast) = pPrev;
        (pPrev ? pPrev->*kNext : pParent->*kFirst) = pNext;
        pNode->*kParent = nullptr;
        pNode->*kPrev = nullptr;
        pNode->*kNext = nullptr;
    }
    // pNew, which belongs to no parent, takes pOld's place; pOld then belongs to none.
    static void Replace(TiXmlNode* pOld, TiXmlNode* pNew)
    {
        TiXmlNode* pParent = pOld->*kParent;
        pNew->*kParent = pParent;
        pNew->*kPrev = pOld->*kPrev;
        pNew->*kNext = pOld->*kNext;
        (pOld->*kNext ? pOld->*kNext->*kPrev : pParent->*kLast) = pNew;
        (pOld->*kPrev ? pOld->*kPrev->*kNext : pParent->*kFirst) = pNew;
        pOld->*kParent = nullptr;
        pOld->*kPrev = nullptr;
        pOld->*kNext = nullptr;
    }

private:
    static constexpr TiXmlNode* TiXmlNode::*kParent = &CNodeLinks::parent;
    static constexpr TiXmlNode* TiXmlNode::*kFirst = &CNodeLinks::firstChild;
    static constexpr TiXmlNode* TiXmlNode::*kLast = &CNodeLinks::lastChild;
    static constexpr TiXmlNode* TiXmlNode::*kPrev = &CNodeLinks::prev;
    static constexpr TiXmlNode* TiXmlNode::*kNext = &CNodeLinks::next;
};

// The first element of that name in document order, or nullptr.
TiXmlNode* FindElementNamed(TiXmlNode* pRoot, const char* pszName)
{
    TiXmlNode* pNode = pRoot->FirstChild();
    while (pNode) {
        if (pNode->ToElement() && std::strcmp(pNode->Value(), pszName) == 0)
            return pNode;
        if (pNode->FirstChild()) {
            pNode = pNode->FirstChild();
            continue;
        }
        while (pNode != pRoot && !pNode->NextSibling())
            pNode = pNode->Parent();
        pNode = pNode == pRoot ? nullptr : pNode->NextSibling();
    }
    return nullptr;
}

// Files from this size on are parsed on two cores: TinyXML took a heavy card's start-up longer than
// everything else together.
const size_t kParseApartSize = 512 * 1024;
const char kPartName[] = "dpf-settings-parsed-apart";

// Parses the element text[nStart, nEnd) on a thread of its own while this one parses the rest with
// an empty element in its place, then puts the one in the other's place. TinyXML reads an element
// from its "<" to its end tag whatever stands around it, so the tree is the one a single parse
// makes. FALSE, with doc in any state, when either parse failed or the split cannot be made; the
// caller then parses the whole text as usual, which gives every error its usual outcome.
bool ParseInTwo(TiXmlDocument& doc, const std::string& text, size_t nStart, size_t nEnd)
{
    if (text.find(kPartName) != std::string::npos)
        return false;
    const std::string part = text.substr(nStart, nEnd - nStart);
    const std::string rest = text.substr(0, nStart) + "<" + kPartName + " />" + text.substr(nEnd);
    TiXmlDocument partDoc;
    partDoc.SetTabSize(0);
    bool bPartParsed = false;
    std::thread worker;
    try {
        worker = std::thread([&]() {
            try {
                partDoc.Parse(part.c_str(), nullptr, TIXML_ENCODING_LEGACY);
                bPartParsed = !partDoc.Error();
            } catch (...) {
                bPartParsed = false;
            }
        });
    } catch (const std::system_error&) {
        return false;
    }
    try {
        doc.Parse(rest.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    TiXmlNode* pPart = partDoc.FirstChild();
    if (!bPartParsed || doc.Error() || !pPart || pPart != partDoc.LastChild() || !pPart->ToElement())
        return false;
    TiXmlNode* pPlace = FindElementNamed(&doc, kPartName);
    if (!pPlace)
        return false;
    CNodeLinks::Unlink(pPart);
    CNodeLinks::Replace(pPlace, pPart);
    delete pPlace;
    return true;
}

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
    const std::string text = bHadBom ? NormaliseLineEnds(bytes.substr(3)) : NormaliseLineEnds(bytes);

    CXmlScanner scanner(text, bHadBom || DeclaresUtf8(text));
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
    // Without a tab size TinyXML does not count rows and columns as it goes (nothing here reports
    // them), which took it a tenth of its time.
    doc.SetTabSize(0);
    const std::string& walked = scanner.Output();
    const auto [nPartStart, nPartEnd] = scanner.HalfElement();
    if (scanner.Stopped() || walked.size() < kParseApartSize || nPartEnd == 0
        || !ParseInTwo(doc, walked, nPartStart, nPartEnd)) {
        doc.Clear();
        doc.ClearError();
        doc.Parse(walked.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    }
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
// makes an fprintf call for every tag, attribute and text, which cost a heavy card's save more
// than the rest of printing; this appends the same bytes to one string. Values are C strings to
// TinyXML's printer, so they end at a NUL here too.
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

void PrintNode(const TiXmlNode& node, int nDepth, CPrintBuffer& out)
{
    switch (node.Type()) {
    case TiXmlNode::TINYXML_DOCUMENT:
        for (const TiXmlNode* pChild = node.FirstChild(); pChild; pChild = pChild->NextSibling()) {
            PrintNode(*pChild, nDepth, out);
            out += '\n';
        }
        break;
    case TiXmlNode::TINYXML_ELEMENT: {
        const TiXmlElement& element = *node.ToElement();
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
        break;
    }
    case TiXmlNode::TINYXML_TEXT:
        if (node.ToText()->CDATA()) {
            out += '\n';
            AppendIndent(out, nDepth);
            out.append("<![CDATA[").append(node.Value()).append("]]>\n");
        } else {
            AppendEncoded(out, node.ValueStr());
        }
        break;
    case TiXmlNode::TINYXML_COMMENT:
        AppendIndent(out, nDepth);
        out.append("<!--").append(node.Value()).append("-->");
        break;
    case TiXmlNode::TINYXML_UNKNOWN:
        AppendIndent(out, nDepth);
        out.append("<").append(node.Value()).append(">");
        break;
    case TiXmlNode::TINYXML_DECLARATION: {
        const TiXmlDeclaration& declaration = *node.ToDeclaration();
        out.append("<?xml ");
        if (*declaration.Version())
            out.append("version=\"").append(declaration.Version()).append("\" ");
        if (*declaration.Encoding())
            out.append("encoding=\"").append(declaration.Encoding()).append("\" ");
        if (*declaration.Standalone())
            out.append("standalone=\"").append(declaration.Standalone()).append("\" ");
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
        // Room for twice the largest file seen, so that a heavy card's few megabytes are not copied
        // into ever larger buffers, each of them new memory to the system, as the text grows. What
        // is reserved and not written is never touched.
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
