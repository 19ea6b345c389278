// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/ScrambledText.h"

#include "documents/ConfigDocument.h"

#include <tinyxml.h>

#include <array>
#include <cstring>
#include <utility>

const char* const CONFIG_KEY_TEXT = "7A1C04D9B3E58F2260";

namespace {

// A key text longer than this is refused, as the frame's own reader refuses it.
const size_t kMaxKeyText = 512;

int HexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

class CRc4
{
public:
    // Standard RC4 key schedule; FALSE for a key text that is too long, not hex, or empty.
    bool SetUp(const char* pszKey)
    {
        if (!pszKey || std::strlen(pszKey) > kMaxKeyText)
            return false;
        std::string key;
        if (HexToBytes(pszKey, key) <= 0)
            return false;
        for (int n = 0; n < 256; ++n)
            m_s[static_cast<size_t>(n)] = static_cast<unsigned char>(n);
        unsigned j = 0;
        for (size_t n = 0; n < 256; ++n) {
            j = (j + m_s[n] + static_cast<unsigned char>(key[n % key.size()])) & 0xFF;
            std::swap(m_s[n], m_s[j]);
        }
        m_i = m_j = 0;
        return true;
    }

    void Transform(std::string& bytes)
    {
        for (char& c : bytes) {
            m_i = (m_i + 1) & 0xFF;
            m_j = (m_j + m_s[m_i]) & 0xFF;
            std::swap(m_s[m_i], m_s[m_j]);
            c = static_cast<char>(static_cast<unsigned char>(c) ^ m_s[(m_s[m_i] + m_s[m_j]) & 0xFF]);
        }
    }

private:
    std::array<unsigned char, 256> m_s{};
    unsigned m_i = 0;
    unsigned m_j = 0;
};

} // namespace

int HexToBytes(const char* pszText, std::string& bytes)
{
    bytes.clear();
    if (!pszText)
        return 0;
    for (const char* p = pszText; *p; p += 2) {
        const int nHigh = HexDigit(static_cast<unsigned char>(p[0]));
        if (nHigh < 0)
            return -2;
        if (!p[1])
            break;
        const int nLow = HexDigit(static_cast<unsigned char>(p[1]));
        if (nLow < 0)
            return -2;
        bytes.push_back(static_cast<char>(nHigh * 16 + nLow));
    }
    return static_cast<int>(bytes.size());
}

CString ScrambleText(const char* pszValue, const char* pszKey)
{
    CRc4 rc4;
    if (!rc4.SetUp(pszKey))
        return CString();
    std::string bytes(pszValue ? pszValue : "");
    rc4.Transform(bytes);
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
    }
    return CString(std::move(text));
}

BOOL UnscrambleText(const char* pszText, const char* pszKey, CString& strPlain)
{
    strPlain.Empty();
    CRc4 rc4;
    if (!rc4.SetUp(pszKey))
        return FALSE;
    std::string bytes;
    if (HexToBytes(pszText, bytes) < 0)
        return FALSE;
    rc4.Transform(bytes);
    strPlain = CString(std::move(bytes));
    return TRUE;
}

TiXmlText* NewTiXmlText(const char* pszValue, const char* pszKey)
{
    if (!pszKey)
        return new TiXmlText(pszValue ? pszValue : "");
    return new TiXmlText(ScrambleText(pszValue, pszKey));
}

CString GetScrambledText(const TiXmlElement* pElement, const char* pszKey)
{
    CString strPlain;
    // Hex digits never include blanks, so line breaks and indentation that an editor or another tool
    // put around (or into) the value are layout, not part of the password.
    std::string digits;
    for (const char* p = GetElementTextPtr(pElement); *p; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r')
            digits += *p;
    }
    UnscrambleText(digits.c_str(), pszKey, strPlain);
    return strPlain;
}
