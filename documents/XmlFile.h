// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and printing the frame's XML files with TinyXML, safely.
//
// TinyXML parses, copies, prints and frees its tree recursively, so a file of deeply nested elements
// exhausts the stack; such a file is refused before TinyXML sees it. Bytes are parsed one by one (the
// frame may store names in any single-byte encoding, and TinyXML's UTF-8 reader would swallow the
// markup after a stray lead byte), while numeric character references become UTF-8, as TinyXML's own
// reader makes them, in every file but one whose declaration names another encoding. White space
// inside values is kept.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <string>

class TiXmlDocument;
class TiXmlNode;

// Deepest element nesting that is accepted. A frame file nests fewer than ten levels, and the printed
// file grows with the square of the depth (four blanks of indentation per level on every line).
const int kMaxXmlNesting = 256;
// Most attributes accepted on one element. A frame file has at most one or two; the reader checks each
// new attribute against all before it, so a single element with 100,000 of them would take minutes.
const int kMaxXmlAttributes = 1000;

// The deepest element nesting TinyXML builds while parsing text, empty elements included.
int MeasureXmlNesting(const std::string& text);

// Parses the bytes of a file into doc, which is cleared first. FALSE, with doc empty and a reason,
// when the text does not parse, holds no element, or nests too deeply. bHadBom tells whether the
// file began with a UTF-8 byte-order mark, which printing then repeats.
BOOL ParseXmlFile(TiXmlDocument& doc, const std::string& bytes, bool& bHadBom, CString& strError);

// Takes a node out of its parent without deleting it (TinyXML only removes a child by deleting it):
// the caller owns it from then on.
void UnlinkXmlNode(TiXmlNode* pNode);

// The bytes TiXmlDocument::SaveFile writes for doc, with a byte-order mark first when asked, except
// inside an element that holds text beside other nodes: that is printed as it was read, since the
// blanks SaveFile puts around the other nodes would become part of the text, more each save, and
// except a damaged declaration's values, which are escaped so that the file reads back.
// FALSE when memory for them could not be had.
BOOL PrintXmlFile(const TiXmlDocument& doc, bool bWithBom, std::string& bytes);
