// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/String.h"

#include <cstdarg>
#include <cstdio>

int CString::Find(const char* pszSub, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    const size_t nPos = m_str.find(pszSub ? pszSub : "", static_cast<size_t>(nStart));
    return nPos == std::string::npos ? -1 : static_cast<int>(nPos);
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int nNeeded = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (nNeeded < 0) {
        m_str.clear();
    } else {
        std::string buffer(static_cast<size_t>(nNeeded) + 1, '\0');
        std::vsnprintf(&buffer[0], buffer.size(), pszFormat, args);
        buffer.resize(static_cast<size_t>(nNeeded));
        m_str = std::move(buffer);
    }
    va_end(args);
}
