// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CString: the string class of the code above the platform layer. It holds bytes, not characters:
// text is UTF-8 on this platform, but a value read from the frame's file may be any bytes, and it
// must travel through the program unchanged. Conversion to and from Qt's UTF-16 strings happens
// only inside the platform layer, at the widget boundary.

#include <string>

class CString
{
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch, static_cast<size_t>(nLength)) {}
    CString(std::string str) : m_str(std::move(str)) {}

    operator const char*() const { return m_str.c_str(); }
    const std::string& Bytes() const { return m_str; }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Byte-wise, case-sensitive comparison: negative, 0 or positive like strcmp.
    int Compare(const char* psz) const { return m_str.compare(psz ? psz : ""); }

    // Index of the first occurrence of a substring at or after nStart, or -1.
    int Find(const char* pszSub, int nStart = 0) const;

    // printf-style formatting; the result has no length limit.
    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

    CString& operator+=(const CString& str)
    {
        m_str += str.m_str;
        return *this;
    }
    friend CString operator+(CString a, const CString& b)
    {
        a += b;
        return a;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }

private:
    std::string m_str;
};
