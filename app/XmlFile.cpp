#include "app/XmlFile.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

const char kBom[] = "\xEF\xBB\xBF";

bool StartsWith(const std::string& s, size_t i, const char* pszPrefix)
{
    return s.compare(i, std::strlen(pszPrefix), pszPrefix) == 0;
}

// TinyXML starts an element at "<" followed by a letter, "_" or any byte from 127 up.
bool IsNameStart(unsigned char c)
{
    return c >= 127 || c == '_' || (c < 127 && std::isalpha(c));
}

// Line ends become "\n", as TinyXML's own file reader makes them.
std::string NormaliseLineEnds(const std::string& in)
{
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

class CXmlScanner
{
public:
    CXmlScanner(const std::string& in, bool bConvertReferences) : m_in(in), m_bConvert(bConvertReferences)
    {
        m_out.reserve(in.size());
    }

    void Run()
    {
        size_t i = 0;
        const size_t n = m_in.size();
        while (i < n && m_in[i] != '\0') {
            if (m_in[i] != '<') {
                const size_t nNext = m_in.find('<', i);
                i = Copy(i, nNext == std::string::npos ? n : nNext, true);
            } else if (StartsWith(m_in, i, "<!--")) {
                i = CopyThrough(i, "-->", true);
            } else if (StartsWith(m_in, i, "<![CDATA[")) {
                i = CopyThrough(i, "]]>", false);
            } else if (StartsWith(m_in, i, "</")) {
                if (m_nDepth > 0)
                    --m_nDepth;
                i = CopyThrough(i, ">", false);
            } else if (StartsWith(m_in, i, "<?")) {
                i = CopyThrough(i, ">", true);
            } else if (i + 1 < n && IsNameStart(static_cast<unsigned char>(m_in[i + 1]))) {
                i = StartTag(i);
            } else {
                i = CopyThrough(i, ">", false);
            }
        }
    }

    int MaxDepth() const { return m_nMaxDepth; }
    std::string& Output() { return m_out; }

private:
    // A start tag: attribute values in quotes may hold ">" and "/>" without ending the tag.
    size_t StartTag(size_t i)
    {
        const size_t n = m_in.size();
        size_t k = i + 1;
        bool bEmpty = false;
        while (k < n && m_in[k] != '\0' && m_in[k] != '>') {
            if (m_in[k] == '=') {
                size_t q = k + 1;
                while (q < n && std::isspace(static_cast<unsigned char>(m_in[q])))
                    ++q;
                if (q < n && (m_in[q] == '"' || m_in[q] == '\'')) {
                    const size_t qEnd = m_in.find(m_in[q], q + 1);
                    k = qEnd == std::string::npos ? n : qEnd + 1;
                    continue;
                }
            }
            ++k;
        }
        if (k < n && m_in[k] == '>')
            bEmpty = m_in[k - 1] == '/';
        if (!bEmpty && ++m_nDepth > m_nMaxDepth)
            m_nMaxDepth = m_nDepth;
        return Copy(i, k < n ? k + 1 : n, true);
    }

    size_t CopyThrough(size_t i, const char* pszEnd, bool bReferences)
    {
        const size_t nEnd = m_in.find(pszEnd, i + 1);
        return Copy(i, nEnd == std::string::npos ? m_in.size() : nEnd + std::strlen(pszEnd), bReferences);
    }

    // Copies [i, nEnd); numeric character references above 127 become UTF-8 where TinyXML decodes them.
    size_t Copy(size_t i, size_t nEnd, bool bReferences)
    {
        if (!m_bConvert || !bReferences) {
            m_out.append(m_in, i, nEnd - i);
            return nEnd;
        }
        while (i < nEnd) {
            size_t nLength = 0;
            unsigned long ucs = 0;
            if (m_in[i] == '&' && ReadReference(i, nEnd, nLength, ucs) && ucs >= 0x80 && ucs < 0x200000) {
                AppendUtf8(m_out, ucs);
                i += nLength;
            } else {
                m_out.push_back(m_in[i++]);
            }
        }
        return nEnd;
    }

    bool ReadReference(size_t i, size_t nEnd, size_t& nLength, unsigned long& ucs) const
    {
        if (!StartsWith(m_in, i, "&#"))
            return false;
        const bool bHex = i + 2 < nEnd && m_in[i + 2] == 'x';
        size_t k = i + (bHex ? 3 : 2);
        const size_t nDigitsStart = k;
        ucs = 0;
        while (k < nEnd && k - nDigitsStart < 8) {
            const unsigned char c = static_cast<unsigned char>(m_in[k]);
            if (bHex && std::isxdigit(c))
                ucs = ucs * 16 + static_cast<unsigned long>(std::isdigit(c) ? c - '0' : (std::tolower(c) - 'a' + 10));
            else if (!bHex && std::isdigit(c))
                ucs = ucs * 10 + static_cast<unsigned long>(c - '0');
            else
                break;
            ++k;
        }
        if (k == nDigitsStart || k >= nEnd || m_in[k] != ';')
            return false;
        nLength = k + 1 - i;
        return true;
    }

    const std::string& m_in;
    bool m_bConvert;
    std::string m_out;
    int m_nDepth = 0;
    int m_nMaxDepth = 0;
};

} // namespace

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
    bHadBom = bytes.compare(0, 3, kBom) == 0;
    const std::string text = NormaliseLineEnds(bHadBom ? bytes.substr(3) : bytes);

    CXmlScanner scanner(text, bHadBom || DeclaresUtf8(text));
    scanner.Run();
    if (scanner.MaxDepth() > kMaxXmlNesting) {
        strError.Format("its elements are nested more than %d levels deep", kMaxXmlNesting);
        return FALSE;
    }
    // Values keep their blanks: leading, trailing and repeated blanks in a name are part of it.
    TiXmlBase::SetCondenseWhiteSpace(false);
    doc.Parse(scanner.Output().c_str(), nullptr, TIXML_ENCODING_LEGACY);
    if (doc.Error() || !doc.RootElement()) {
        strError = doc.Error() ? CString(doc.ErrorDesc()) : CString("it holds no element");
        doc.Clear();
        doc.ClearError();
        return FALSE;
    }
    return TRUE;
}

BOOL PrintXmlFile(const TiXmlDocument& doc, bool bWithBom, std::string& bytes)
{
    // SaveFile's own printer, into memory: the same bytes SaveFile would put in a file.
    char* pBuffer = nullptr;
    size_t nSize = 0;
    FILE* pMemory = open_memstream(&pBuffer, &nSize);
    if (!pMemory)
        return FALSE;
    const bool bPrinted = doc.SaveFile(pMemory);
    const bool bClosed = std::fclose(pMemory) == 0;
    if (bPrinted && bClosed) {
        bytes = bWithBom ? std::string(kBom) : std::string();
        bytes.append(pBuffer, nSize);
    }
    std::free(pBuffer);
    return bPrinted && bClosed;
}
