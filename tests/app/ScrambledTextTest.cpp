#include "app/ScrambledText.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>

TEST(ScrambledText, KnownAnswerUnderTheProgramsKey)
{
    EXPECT_EQ(ScrambleText("password", CONFIG_KEY_TEXT), "72634D1FBC410B7B");
    CString strPlain;
    ASSERT_TRUE(UnscrambleText("72634D1FBC410B7B", CONFIG_KEY_TEXT, strPlain));
    EXPECT_EQ(strPlain, "password");
}

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
        for (char c : strStored.Bytes())
            ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << strStored.Bytes();
        CString strPlain;
        ASSERT_TRUE(UnscrambleText(strStored, CONFIG_KEY_TEXT, strPlain));
        ASSERT_EQ(strPlain.Bytes(), value) << "length " << n;
    }
}

TEST(ScrambledText, ReaderAcceptsLowerCaseDropsAnOddDigitAndRefusesOtherCharacters)
{
    CString strPlain;
    ASSERT_TRUE(UnscrambleText("72634d1fbc410b7b", CONFIG_KEY_TEXT, strPlain));
    EXPECT_EQ(strPlain, "password");
    ASSERT_TRUE(UnscrambleText("72634D1FBC410B7B7", CONFIG_KEY_TEXT, strPlain));
    EXPECT_EQ(strPlain, "password");
    EXPECT_FALSE(UnscrambleText("72634D1FBC41ZZ7B", CONFIG_KEY_TEXT, strPlain));
    EXPECT_TRUE(strPlain.IsEmpty());
    EXPECT_FALSE(UnscrambleText("7263\xC3\xA9", CONFIG_KEY_TEXT, strPlain));
    ASSERT_TRUE(UnscrambleText("", CONFIG_KEY_TEXT, strPlain));
    EXPECT_TRUE(strPlain.IsEmpty());

    std::string bytes;
    EXPECT_EQ(HexToBytes("0aFf1", bytes), 2);
    EXPECT_EQ(bytes, std::string("\x0A\xFF"));
    EXPECT_EQ(HexToBytes("0g", bytes), -2);
}

TEST(ScrambledText, KeyedTextNodeAndGetScrambledTextWorkThroughTheDocument)
{
    TiXmlElement element("SMTPPassword");
    element.LinkEndChild(NewTiXmlText("password", CONFIG_KEY_TEXT));
    EXPECT_STREQ(element.GetText(), "72634D1FBC410B7B");
    EXPECT_EQ(GetScrambledText(&element, CONFIG_KEY_TEXT), "password");

    // An empty password is an empty text node; it and an element without a child both read as empty.
    TiXmlElement empty("Empty");
    empty.LinkEndChild(NewTiXmlText("", CONFIG_KEY_TEXT));
    ASSERT_NE(empty.FirstChild(), nullptr);
    EXPECT_EQ(GetScrambledText(&empty, CONFIG_KEY_TEXT), "");
    TiXmlElement childless("Childless");
    EXPECT_EQ(GetScrambledText(&childless, CONFIG_KEY_TEXT), "");

    // No element, a first child that is not text, or a text that is not hex: no value.
    EXPECT_EQ(GetScrambledText(nullptr, CONFIG_KEY_TEXT), "");
    TiXmlElement nested("Nested");
    nested.LinkEndChild(new TiXmlElement("Inner"));
    EXPECT_EQ(GetScrambledText(&nested, CONFIG_KEY_TEXT), "");
    TiXmlElement broken("Broken");
    broken.LinkEndChild(new TiXmlText("hello"));
    EXPECT_EQ(GetScrambledText(&broken, CONFIG_KEY_TEXT), "");
}
