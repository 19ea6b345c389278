// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OleDateTime.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

long long ToMsecs(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, QTimeZone::utc()).toMSecsSinceEpoch();
}

int Digits(const char* p, int n)
{
    int nValue = 0;
    for (int i = 0; i < n; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(p[i])))
            return -1;
        nValue = nValue * 10 + (p[i] - '0');
    }
    return nValue;
}

// yyyy-MM-dd, optionally followed by "T" or a blank and HH:mm or HH:mm:ss.
bool ParseIso(const char* p, size_t nLength, long long& nMsecs)
{
    if (nLength != 10 && nLength != 16 && nLength != 19)
        return false;
    if (p[4] != '-' || p[7] != '-')
        return false;
    const QDate date(Digits(p, 4), Digits(p + 5, 2), Digits(p + 8, 2));
    if (!date.isValid())
        return false;
    QTime time(0, 0);
    if (nLength > 10) {
        if ((p[10] != 'T' && p[10] != ' ') || p[13] != ':' || (nLength == 19 && p[16] != ':'))
            return false;
        time = QTime(Digits(p + 11, 2), Digits(p + 14, 2), nLength == 19 ? Digits(p + 17, 2) : 0);
        if (!time.isValid())
            return false;
    }
    nMsecs = ToMsecs(date, time);
    return true;
}

// The locale's short forms, read once: asking the system for them is slow, and a sort asks often.
struct CLocaleForms
{
    QString date;
    QString time;
    QString dateTime;
    // The separators a text needs to have any of the forms, blanks included: the parser matches a
    // form's separators literally, so a text without a single one of them ("3FA1B") is no date, and
    // is turned away without the parser. Empty when a form has no separator or quotes a literal text: then every
    // text goes to the parser.
    std::string separators;
    CLocaleForms()
    {
        const QLocale locale = QLocale::system();
        date = locale.dateFormat(QLocale::ShortFormat);
        time = locale.timeFormat(QLocale::ShortFormat);
        dateTime = locale.dateTimeFormat(QLocale::ShortFormat);
        for (const QString& form : {date, time, dateTime}) {
            std::string formSeparators;
            for (const QChar c : form) {
                if (c.unicode() >= 0x80 || c == '\'') {
                    separators.clear();
                    return;
                }
                if (!c.isLetter())
                    formSeparators.push_back(static_cast<char>(c.unicode()));
            }
            if (formSeparators.empty()) {
                separators.clear();
                return;
            }
            separators += formSeparators;
        }
    }
    bool MayBeADate(const std::string& text) const
    {
        return separators.empty() || text.find_first_of(separators) != std::string::npos;
    }
};

const CLocaleForms& LocaleForms()
{
    static const CLocaleForms forms;
    return forms;
}

bool ParseLocaleForms(const std::string& key, long long& nMsecs);

} // namespace

BOOL COleDateTime::ParseDateTime(const char* pszText)
{
    if (!pszText)
        return FALSE;
    // Blanks around the text do not count.
    while (*pszText == ' ')
        ++pszText;
    size_t nLength = std::strlen(pszText);
    while (nLength > 0 && pszText[nLength - 1] == ' ')
        --nLength;
    if (nLength == 0)
        return FALSE;
    if (ParseIso(pszText, nLength, m_nMsecs))
        return TRUE;
    // A short form starts with a number and has more than digits; words and plain numbers are turned
    // away here, before the slow locale parser, which keeps sorting long lists quick.
    if (!std::isdigit(static_cast<unsigned char>(pszText[0])) || std::strspn(pszText, "0123456789") >= nLength)
        return FALSE;
    // The locale parser is slow and a sort asks about the same texts again and again: its answers are
    // remembered (a text always gives the same answer), within a bound.
    static std::unordered_map<std::string, std::pair<bool, long long>> answers;
    const std::string key(pszText, nLength);
    if (!LocaleForms().MayBeADate(key))
        return FALSE;
    const auto known = answers.find(key);
    if (known != answers.end()) {
        if (known->second.first)
            m_nMsecs = known->second.second;
        return known->second.first;
    }
    if (answers.size() > 100000)
        answers.clear();
    const bool bDate = ParseLocaleForms(key, m_nMsecs);
    answers.emplace(key, std::make_pair(bDate, m_nMsecs));
    return bDate;
}

namespace {
bool ParseLocaleForms(const std::string& key, long long& nMsecs)
{
    const CLocaleForms& forms = LocaleForms();
    const QLocale locale = QLocale::system();
    const QString text = QString::fromStdString(key);
    const QDateTime dateTime = locale.toDateTime(text, forms.dateTime);
    if (dateTime.isValid()) {
        nMsecs = ToMsecs(dateTime.date(), dateTime.time());
        return true;
    }
    const QDate date = locale.toDate(text, forms.date);
    if (date.isValid()) {
        nMsecs = ToMsecs(date, QTime(0, 0));
        return true;
    }
    const QTime time = locale.toTime(text, forms.time);
    if (time.isValid()) {
        // A time alone stands on the day the frame's date type counts from.
        nMsecs = ToMsecs(QDate(1899, 12, 30), time);
        return true;
    }
    return false;
}
} // namespace
