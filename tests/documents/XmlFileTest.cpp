// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/XmlFile.h"

#include "TestSupport.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

namespace {

std::string Nested(int nDepth)
{
    std::string open, close;
    for (int i = 0; i < nDepth; ++i)
        open += "<a>", close += "</a>";
    return open + "x" + close;
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

// How the guard measures nesting (comments, CDATA, quoted values, declarations, character
// references) is checked against the reader itself by the nesting fuzz target over its corpus.
TEST(XmlFile, ElementsToTheLimitsLoadAndBrokenEmptyDeeperOrWiderTextIsRefusedLeavingTheDocumentEmpty)
{
    const auto attributes = [](int nAttributes) {
        std::string text = "<RootInfo";
        for (int i = 0; i < nAttributes; ++i)
            text += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
        return text + "><Configuration/></RootInfo>";
    };
    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    EXPECT_TRUE(ParseXmlFile(doc, attributes(kMaxXmlAttributes), bBom, strError)) << strError.Bytes();
    ASSERT_TRUE(ParseXmlFile(doc, Nested(kMaxXmlNesting), bBom, strError)) << strError.Bytes();
    std::string printed;
    ASSERT_TRUE(PrintXmlFile(doc, false, printed));
    EXPECT_NE(TiXmlDocument(doc).RootElement(), nullptr); // TinyXML copies recursively, too

    // 100,000 attributes would take the reader minutes, checking each new one against all before it.
    EXPECT_FALSE(ParseXmlFile(doc, attributes(100000), bBom, strError));
    EXPECT_EQ(strError, CString("an element holds more than 1000 attributes"));
    // A declaration whose quoted version holds end tags after every 1,000 opens reaches 40,000 levels.
    std::string steered;
    for (int i = 0; i < 40; ++i)
        steered += Nested(1000).substr(0, 3000) + "<?xml version=\"" + Nested(1000).substr(3001) + "\"?>";
    // Unclosed opens count too: TinyXML recurses on them before it notices the missing ends.
    const std::string unclosed = Nested(50000).substr(0, 150000);
    for (const std::string& text :
         {attributes(100000), Nested(kMaxXmlNesting + 1), Nested(100000), steered, unclosed, std::string(),
          std::string("   "), std::string("<a><b></a>"), std::string("<?xml version=\"1.0\"?>"), std::string("not xml"),
          std::string("<a>\0</a>", 8)}) {
        strError = CString();
        EXPECT_FALSE(ParseXmlFile(doc, text, bBom, strError)) << text.substr(0, 40);
        EXPECT_EQ(doc.FirstChild(), nullptr);
        EXPECT_FALSE(strError.IsEmpty());
    }
}

TEST(XmlFile, PrintingIsWhatTinyXmlSaveFileWritesAndKeepsBlanksBytesAndTheByteOrderMark)
{
    const std::string tinyXml
        = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
          "<!DOCTYPE x><!-- frame settings --><RootInfo version=\"100\"><Configuration><A x=\"1\" q='say \"hi\"'>a "
          "&amp; b</A>"
          "<B/><C><![CDATA[<raw>]]></C><D><E><F>deep</F><!-- c --></E></D></Configuration></RootInfo>";
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/in.xml";
    WriteFileBytes(path, tinyXml);
    TiXmlDocument reference;
    ASSERT_TRUE(reference.LoadFile(path.c_str()));
    ASSERT_TRUE(reference.SaveFile((path + ".out").c_str()));
    EXPECT_EQ(RoundTrip(tinyXml), ReadFileBytes(path + ".out"));

    const std::string text
        = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo version=\"100\">\n"
          "    <Configuration>\n        <SSID>  two  blanks  </SSID>\n        <Latin1>Caf\xE9</Latin1>\n"
          "        <Broken>\xF0&lt;x</Broken>\n        <Utf8>Caf\xC3\xA9</Utf8>\n    </Configuration>\n"
          "</RootInfo>\n";
    EXPECT_EQ(RoundTrip(text), text);
    // In a UTF-8 file character references become UTF-8, as TinyXML's own reader makes them, and line
    // ends become newlines.
    EXPECT_EQ(
        RoundTrip(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<R><V>&#233;&#x263A;&amp;</V><!-- &#233; --></R>\r\n"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<R>\n    <V>\xC3\xA9\xE2\x98\xBA&amp;</V>\n    <!-- &#233; -->\n"
        "</R>\n");
    // So they do in a file without a declaration, which XML reads as UTF-8 (TinyXML would cut the
    // second to ":"); one that names a single-byte encoding (in any case) gets single bytes.
    EXPECT_EQ(RoundTrip("<R><V>&#233;&#x263A;</V></R>"), "<R>\n    <V>\xC3\xA9\xE2\x98\xBA</V>\n</R>\n");
    EXPECT_EQ(RoundTrip("<?xml version=\"1.0\" ENCODING=\"ISO-8859-1\" ?><R><V>&#233;</V></R>"),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<R>\n    <V>\xE9</V>\n</R>\n");
    // A declaration with a quote left open takes the markup up to the next such quote as its value.
    // Printed as SaveFile prints it, the double quote inside would end the value early, and the rest
    // of the saved file would not read back; escaped, the file reads back the same.
    const std::string damaged = RoundTrip(
        "<?xml version='1.0\" encoding=\"ISO-8859-1\"?><!-- c -->\n<R id='x' a=\"b\"><V>a</V></R>");
    EXPECT_EQ(damaged.substr(0, 24), "<?xml version='1.0&quot;");
    EXPECT_EQ(RoundTrip(damaged), damaged);

    // Text beside other nodes is printed as it was read: the line ends SaveFile puts there would
    // join the text, more of them at every save.
    const std::string mixed = "<R>\n    <V>a<!--c-->b</V>\n    <D>mixed<E>\n            <F>deep</F>\n"
                              "            <!-- c -->\n        </E>text<![CDATA[x]]><?pi?></D>\n</R>\n";
    EXPECT_EQ(RoundTrip("<R><V>a<!--c-->b</V><D>mixed<E><F>deep</F><!-- c --></E>text<![CDATA[x]]><?pi?></D></R>"),
              mixed);
    EXPECT_EQ(RoundTrip(mixed), mixed);
}
