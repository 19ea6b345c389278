#include "app/XmlFile.h"

#include <tinyxml.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string Nested(int nDepth, const std::string& inner = "x")
{
    std::string text;
    for (int i = 0; i < nDepth; ++i)
        text += "<a>";
    text += inner;
    for (int i = 0; i < nDepth; ++i)
        text += "</a>";
    return text;
}

std::string RoundTrip(const std::string& bytes)
{
    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    EXPECT_TRUE(ParseXmlFile(doc, bytes, bBom, strError)) << strError.Bytes();
    std::string printed;
    EXPECT_TRUE(PrintXmlFile(doc, bBom, printed));
    return printed;
}

} // namespace

TEST(XmlFile, NestingIsMeasuredAsTinyXmlBuildsIt)
{
    EXPECT_EQ(MeasureXmlNesting("<a><b/><c x='>' y=\"/>\"><d></d></c></a>"), 3);
    // Markup inside comments, CDATA and quoted values opens nothing; an empty element is a level.
    EXPECT_EQ(MeasureXmlNesting("<a><!-- <b><c><d> --><![CDATA[<e><f>]]><g v='<h><i>'/></a>"), 2);
    EXPECT_EQ(MeasureXmlNesting(Nested(1500)), 1500);
    EXPECT_EQ(MeasureXmlNesting("<?xml version=\"1.0\"?><!DOCTYPE x><r></r>"), 1);
    // End tags the reader never sees close nothing: in a declaration's quoted value, or inside a
    // character reference that the reader runs on to the next ";".
    EXPECT_EQ(MeasureXmlNesting("<a><?xml version=\"</a></a>\"?><b><c/></b></a>"), 3);
    EXPECT_EQ(MeasureXmlNesting("<a><b>&#x</b></a>x;<c/></b></a>"), 3);
}

TEST(XmlFile, DeepButReasonableNestingLoadsAndPrints)
{
    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    ASSERT_TRUE(ParseXmlFile(doc, Nested(kMaxXmlNesting), bBom, strError)) << strError.Bytes();
    std::string printed;
    ASSERT_TRUE(PrintXmlFile(doc, false, printed));
    TiXmlDocument copy(doc); // TinyXML copies recursively, too
    EXPECT_NE(copy.RootElement(), nullptr);
}

TEST(XmlFile, NestingThatWouldExhaustTheStackIsRefusedNotParsed)
{
    // A declaration whose quoted version holds end tags after every 1,000 opens reaches 40,000 levels.
    std::string steered;
    for (int i = 0; i < 40; ++i)
        steered += Nested(1000).substr(0, 3000) + "<?xml version=\"" + Nested(1000).substr(3001) + "\"?>";
    for (const std::string& text : {Nested(kMaxXmlNesting + 1), Nested(100000), steered}) {
        TiXmlDocument doc;
        bool bBom = false;
        CString strError;
        // Unclosed opens count too: TinyXML recurses on them before it notices the missing ends.
        std::string unclosed;
        for (int i = 0; i < 50000; ++i)
            unclosed += "<a>";
        EXPECT_FALSE(ParseXmlFile(doc, text, bBom, strError));
        EXPECT_FALSE(ParseXmlFile(doc, unclosed, bBom, strError));
        EXPECT_EQ(doc.RootElement(), nullptr);
        EXPECT_FALSE(strError.IsEmpty());
    }
}

TEST(XmlFile, AnElementWithMoreAttributesThanTheLimitIsRefusedNotParsed)
{
    auto element = [](int nAttributes) {
        std::string text = "<RootInfo";
        for (int i = 0; i < nAttributes; ++i)
            text += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
        return text + "><Configuration/></RootInfo>";
    };
    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    EXPECT_TRUE(ParseXmlFile(doc, element(kMaxXmlAttributes), bBom, strError)) << strError.Bytes();
    // 100,000 would take the reader minutes, checking each new attribute against all before it.
    EXPECT_FALSE(ParseXmlFile(doc, element(100000), bBom, strError));
    EXPECT_EQ(strError, CString("an element holds more than 1000 attributes"));
    EXPECT_EQ(doc.RootElement(), nullptr);
}

TEST(XmlFile, BlanksBytesAndByteOrderMarkSurviveALoadAndASave)
{
    const std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                             "<RootInfo version=\"100\">\n"
                             "    <Configuration>\n"
                             "        <SSID>  two  blanks  </SSID>\n"
                             "        <Latin1>Caf\xE9</Latin1>\n"
                             "        <Broken>\xF0&lt;x</Broken>\n"
                             "        <Utf8>Caf\xC3\xA9</Utf8>\n"
                             "    </Configuration>\n"
                             "</RootInfo>\n";
    EXPECT_EQ(RoundTrip(text), text);
}

TEST(XmlFile, CharacterReferencesInAUtf8FileBecomeUtf8AndLineEndsBecomeNewlines)
{
    const std::string printed = RoundTrip(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<R><V>&#233;&#x263A;&amp;</V><!-- &#233; --></R>\r\n");
    EXPECT_EQ(printed,
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<R>\n    <V>\xC3\xA9\xE2\x98\xBA&amp;</V>\n    <!-- &#233; "
              "-->\n</R>\n");
}

TEST(XmlFile, BrokenOrEmptyTextIsRefusedAndLeavesTheDocumentEmpty)
{
    for (const std::string& text :
         {std::string(), std::string("   "), std::string("<a><b></a>"), std::string("<?xml version=\"1.0\"?>"),
          std::string("not xml"), std::string("<a>\0</a>", 8)}) {
        TiXmlDocument doc;
        bool bBom = false;
        CString strError;
        EXPECT_FALSE(ParseXmlFile(doc, text, bBom, strError)) << text;
        EXPECT_EQ(doc.FirstChild(), nullptr);
    }
}

TEST(XmlFile, PrintedBytesAreExactlyWhatTinyXmlSaveFileWrites)
{
    const std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                             "<!-- frame settings --><RootInfo version=\"100\"><Configuration><A x=\"1\">a &amp; b</A>"
                             "<B/><C><![CDATA[<raw>]]></C><D>mixed<E/>text</D></Configuration></RootInfo>";
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/in.xml";
    const std::string saved = dir.path().toStdString() + "/out.xml";
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    TiXmlDocument reference;
    ASSERT_TRUE(reference.LoadFile(path.c_str()));
    ASSERT_TRUE(reference.SaveFile(saved.c_str()));

    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    ASSERT_TRUE(ParseXmlFile(doc, text, bBom, strError));
    std::string printed;
    ASSERT_TRUE(PrintXmlFile(doc, bBom, printed));
    std::ifstream in(saved, std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(printed, expected);
}
