// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Passwords in the frame's file are stored scrambled: RC4 under one fixed key text, written as
// upper-case hexadecimal. This keeps them out of plain sight on the card; it is not encryption in any
// strong sense, since the key ships with every copy of the program and of the frame.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <string>

class TiXmlElement;
class TiXmlText;

// The program's key text, shared by writing and reading.
extern const char* const CONFIG_KEY_TEXT;

// Reads hex digit pairs into bytes. Returns the number of bytes, or -2 at the first character that
// is not a hex digit (either case); a last digit without a partner is dropped.
int HexToBytes(const char* pszText, std::string& bytes);

// Plain value to stored text: exactly two upper-case hex digits per byte, of any length.
CString ScrambleText(const char* pszValue, const char* pszKey);
// Stored text to plain value. FALSE (no value) when the text holds anything but hex digits.
BOOL UnscrambleText(const char* pszText, const char* pszKey, CString& strPlain);

// The keyed text node: with a key, a text node holding the scrambled value; with a null key, the
// value as it is. The caller links it into an element, which then owns it.
TiXmlText* NewTiXmlText(const char* pszValue, const char* pszKey);

// The plain value of an element's scrambled text. No value (an absent element, no child, a first
// child that is not text, or a text that is not hex) reads as the empty string, as the pages hold it.
// White space in the text is ignored.
CString GetScrambledText(const TiXmlElement* pElement, const char* pszKey);
