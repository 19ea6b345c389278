// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PageChecks.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The characters a WEP passphrase may hold: printable ASCII, blanks included.
bool IsWepPassphraseChar(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

// A WPA passphrase is bytes from the space up, DEL left out, as Wi-Fi stacks take it: the bytes of
// "pässwört" in UTF-8 are as good as any.
bool IsWpaPassphraseByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b != 0x7F;
}

// Blanks, control characters and bytes of other alphabets: none belongs in an address.
bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
}

template <class TPredicate>
bool All(const std::string& s, TPredicate pred)
{
    for (char c : s) {
        if (!pred(c))
            return false;
    }
    return true;
}

// Four decimal numbers 0 to 255 with dots between them, each of one to three digits; the address
// as one 32-bit number.
bool ParseDottedQuad(const std::string& s, unsigned long& nAddress)
{
    nAddress = 0;
    size_t nStart = 0;
    for (int nPart = 0; nPart < 4; ++nPart) {
        const size_t nEnd = nPart < 3 ? s.find('.', nStart) : s.size();
        if (nEnd == std::string::npos)
            return false;
        const std::string part = s.substr(nStart, nEnd - nStart);
        if (part.empty() || part.size() > 3 || !All(part, IsDigit))
            return false;
        const unsigned long nValue = std::strtoul(part.c_str(), nullptr, 10);
        if (nValue > 255)
            return false;
        nAddress = (nAddress << 8) | nValue;
        nStart = nEnd + 1;
    }
    return true;
}

bool IsHostNameChar(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
}

// Each name between the dots has 1 to 63 characters and neither starts nor ends with a hyphen; the
// whole is at most 253, as DNS has it.
bool IsHostName(const std::string& s)
{
    if (s.empty() || s.size() > 253)
        return false;
    size_t nStart = 0;
    while (nStart <= s.size()) {
        const size_t nEnd = std::min(s.find('.', nStart), s.size());
        const std::string label = s.substr(nStart, nEnd - nStart);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-'
            || !All(label, IsHostNameChar))
            return false;
        nStart = nEnd + 1;
    }
    return true;
}

CString Message(const char* pszFormat, const char* pszLabel)
{
    CString strMessage;
    strMessage.Format(pszFormat, pszLabel);
    return strMessage;
}

} // namespace

CString PasswordLengthProblem(const CString& strPassword, const char* pszLabel)
{
    if (strPassword.GetLength() <= MAX_PASSWORD_LENGTH)
        return CString();
    CString strMessage;
    strMessage.Format("The %s is too long: the frame can read at most %d bytes of it. Letters A to Z, digits, "
                      "punctuation and spaces take one byte each; other letters, such as \xC3\xA9, take two or "
                      "more.",
                      pszLabel, MAX_PASSWORD_LENGTH);
    return strMessage;
}

CString IPAddressProblem(const CString& strValue, const char* pszLabel)
{
    unsigned long nAddress = 0;
    if (ParseDottedQuad(strValue.Bytes(), nAddress))
        return CString();
    return Message("The %s must be four numbers from 0 to 255 separated by dots, such as 192.168.1.20.", pszLabel);
}

CString NetMaskProblem(const CString& strValue, const char* pszLabel)
{
    unsigned long nMask = 0;
    if (!ParseDottedQuad(strValue.Bytes(), nMask))
        return Message("The %s must be four numbers from 0 to 255 separated by dots, such as 255.255.255.0.", pszLabel);
    // 0.0.0.0 keeps the rule below, but would put every address on the frame's own network.
    if (nMask == 0)
        return Message("The %s cannot be 0.0.0.0, which would put every address in the world on the frame's own "
                       "network: use your network's mask, such as 255.255.255.0.",
                       pszLabel);
    // A mask is ones followed by zeros.
    const unsigned long nHost = ~nMask & 0xFFFFFFFFUL;
    if ((nHost & (nHost + 1)) == 0)
        return CString();
    return Message("The %s must be a network mask such as 255.255.255.0: written in binary, all its ones come "
                   "before all its zeros.",
                   pszLabel);
}

CString PortProblem(const CString& strValue, const char* pszLabel)
{
    const std::string& s = strValue.Bytes();
    if (!s.empty() && s.size() <= 5 && All(s, IsDigit)) {
        const unsigned long nPort = std::strtoul(s.c_str(), nullptr, 10);
        if (nPort >= 1 && nPort <= 65535)
            return CString();
    }
    return Message("The %s must be a number from 1 to 65535, written in digits only.", pszLabel);
}

CString EmailAddressProblem(const CString& strValue, const char* pszLabel)
{
    const std::string& s = strValue.Bytes();
    const size_t nAt = s.find('@');
    const bool bOneAt = nAt != std::string::npos && nAt > 0 && s.find('@', nAt + 1) == std::string::npos;
    const std::string domain = bOneAt ? s.substr(nAt + 1) : std::string();
    // The domain needs a dot with a name on both sides of it, and no empty name between two dots.
    const bool bDomain = domain.find('.') != std::string::npos && domain.front() != '.' && domain.back() != '.'
        && domain.find("..") == std::string::npos;
    if (bOneAt && bDomain && All(s, [](char c) { return !IsBlankOrControl(c); }))
        return CString();
    return Message("The %s must be an e-mail address such as frame@example.com: a name, one @ and a domain "
                   "with a dot, without blanks.",
                   pszLabel);
}

CString FeedURLProblem(const CString& strValue, const char* pszLabel)
{
    const std::string& s = strValue.Bytes();
    // A scheme is the same in any case ("HTTP://" is "http://").
    std::string scheme = s.substr(0, std::min<size_t>(s.size(), 8));
    for (char& c : scheme)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    size_t nScheme = 0;
    if (scheme.compare(0, 7, "http://") == 0)
        nScheme = 7;
    else if (scheme.compare(0, 8, "https://") == 0)
        nScheme = 8;
    if (nScheme && s.size() > nScheme && All(s, [](char c) { return !IsBlankOrControl(c); }))
        return CString();
    return Message("The %s must begin with http:// or https://, as in https://example.com/news.rss, and hold "
                   "no blanks.",
                   pszLabel);
}

CString WifiKeyProblem(const CString& strKey, const CString& strMode, bool bHexKey)
{
    struct CModeKey
    {
        const char* pszMode;
        size_t nMinChars;
        size_t nMaxChars;
        size_t nHexDigits;
    };
    // The lengths the Wi-Fi standards set: WEP takes its key as 5 or 13 characters or 10 or 26 hex
    // digits, WPA a passphrase of 8 to 63 bytes or the 64 hex digits of the key itself.
    static const CModeKey kModes[] = {
        {"WEP64", 5, 5, 10}, {"WEP128", 13, 13, 26}, {"WPA1", 8, 63, 64}, {"WPA2", 8, 63, 64}};
    const std::string& key = strKey.Bytes();
    for (const CModeKey& mode : kModes) {
        if (strMode != mode.pszMode)
            continue;
        CString strMessage;
        if (bHexKey) {
            if (key.size() == mode.nHexDigits && All(key, IsHexDigit))
                return CString();
            strMessage.Format("For %s with Hex Key, the Key Password must be exactly %d hexadecimal digits (0 to 9 "
                              "and A to F).",
                              mode.pszMode, static_cast<int>(mode.nHexDigits));
        } else if (mode.nMinChars == mode.nMaxChars) {
            if (key.size() == mode.nMinChars && All(key, IsWepPassphraseChar))
                return CString();
            strMessage.Format("For %s with Passphrase, the Key Password must be exactly %d characters, using only "
                              "letters A to Z (small or capital), digits, punctuation and spaces.",
                              mode.pszMode, static_cast<int>(mode.nMinChars));
        } else {
            if (key.size() >= mode.nMinChars && key.size() <= mode.nMaxChars && All(key, IsWpaPassphraseByte))
                return CString();
            strMessage.Format("For %s with Passphrase, the Key Password must be %d to %d bytes of letters, digits, "
                              "punctuation and spaces. Letters A to Z, digits, punctuation and spaces take one "
                              "byte each; other letters, such as \xC3\xA9, take two or more.",
                              mode.pszMode, static_cast<int>(mode.nMinChars), static_cast<int>(mode.nMaxChars));
        }
        return strMessage;
    }
    return CString();
}

void CValueChecks::Add(int nID, Problem problem, Inputs inputs)
{
    m_fields.push_back({nID, std::move(problem), std::move(inputs), CString()});
}

void CValueChecks::RememberLoaded()
{
    for (CField& field : m_fields)
        field.strLoaded = field.inputs();
}

void CValueChecks::Mark(CWnd& rPage) const
{
    for (const CField& field : m_fields) {
        if (CWnd* pControl = rPage.GetDlgItem(field.nID))
            pControl->MarkInvalid(field.problem());
    }
}

BOOL CValueChecks::Check(CWnd& rPage) const
{
    for (const CField& field : m_fields) {
        if (field.inputs() == field.strLoaded)
            continue;
        const CString strProblem = field.problem();
        if (!strProblem.IsEmpty()) {
            rPage.MessageBox(strProblem, "Error", MB_OK);
            return FALSE;
        }
    }
    return TRUE;
}

CString HostNameProblem(const CString& strValue, const char* pszLabel)
{
    if (IsHostName(strValue.Bytes()))
        return CString();
    return Message("The %s must be a host name such as mail.example.com: letters A to Z, digits, dots and hyphens, "
                   "without blanks. A name in another alphabet is written in its ASCII form (xn--...).",
                   pszLabel);
}
