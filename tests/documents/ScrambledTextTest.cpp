// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/ScrambledText.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <random>

// Up to 600 digits: stored texts beyond 512 digits, which the reader once cut, are among them.
TEST(ScrambledText, EveryLengthFromOneTo300RoundTripsWithTwoUpperCaseDigitsPerByte)
{
    std::mt19937 random(7);
    for (int n = 1; n <= 300; ++n) {
        std::string value;
        for (int i = 0; i < n; ++i)
            value.push_back(static_cast<char>(1 + random() % 255)); // any byte but zero
        const CString strStored = ScrambleText(value.c_str(), CONFIG_KEY_TEXT);
        ASSERT_EQ(strStored.GetLength(), 2 * n);
        ASSERT_EQ(strStored.Bytes().find_first_not_of("0123456789ABCDEF"), std::string::npos) << strStored.Bytes();
        CString strPlain;
        ASSERT_TRUE(UnscrambleText(strStored, CONFIG_KEY_TEXT, strPlain));
        ASSERT_EQ(strPlain.Bytes(), value) << "length " << n;
    }
}

TEST(ScrambledText, KnownAnswerUnderTheProgramsKeyThroughTheDocumentAndWhatTheReaderTakesOrRefuses)
{
    TiXmlElement element("SMTPPassword");
    element.LinkEndChild(NewTiXmlText("password", CONFIG_KEY_TEXT));
    EXPECT_STREQ(element.GetText(), "72634D1FBC410B7B");
    EXPECT_EQ(GetScrambledText(&element, CONFIG_KEY_TEXT), "password");
    // Lower case is read, an odd last digit dropped; other characters are refused.
    CString strPlain;
    for (const char* pszStored : {"72634d1fbc410b7b", "72634D1FBC410B7B7"}) {
        ASSERT_TRUE(UnscrambleText(pszStored, CONFIG_KEY_TEXT, strPlain)) << pszStored;
        EXPECT_EQ(strPlain, "password");
    }
    EXPECT_FALSE(UnscrambleText("72634D1FBC41ZZ7B", CONFIG_KEY_TEXT, strPlain));
    EXPECT_TRUE(strPlain.IsEmpty());
    EXPECT_FALSE(UnscrambleText("7263\xC3\xA9", CONFIG_KEY_TEXT, strPlain));
    ASSERT_TRUE(UnscrambleText("", CONFIG_KEY_TEXT, strPlain));
    EXPECT_TRUE(strPlain.IsEmpty());

    // An empty password is an empty text node. It reads as empty, and so do no element, one without a
    // child, a first child that is not text, and a text that is not hex.
    TiXmlElement empty("Empty"), childless("Childless"), nested("Nested"), broken("Broken");
    empty.LinkEndChild(NewTiXmlText("", CONFIG_KEY_TEXT));
    ASSERT_NE(empty.FirstChild(), nullptr);
    nested.LinkEndChild(new TiXmlElement("Inner"));
    broken.LinkEndChild(new TiXmlText("hello"));
    for (const TiXmlElement* pElement : {&empty, &childless, &nested, &broken, static_cast<TiXmlElement*>(nullptr)})
        EXPECT_EQ(GetScrambledText(pElement, CONFIG_KEY_TEXT), "") << (pElement ? pElement->Value() : "none");
}
