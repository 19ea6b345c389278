// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two documents of the run: the frame's settings (Configuration.xml), which every confirmed page
// rewrites and saves whole, and its last Wi-Fi scan (scan.xml), which is only read.

#include "platform/Wnd.h"

#include <tinyxml.h>

extern TiXmlDocument theConfigDoc;
// The Configuration element inside theConfigDoc, under which each page keeps its section. Set once by
// LoadConfigDocument and valid for the rest of the run.
extern TiXmlElement* theConfigElement;
extern TiXmlDocument theScanDoc;
// The root element of theScanDoc, or nullptr when scan.xml could not be loaded.
extern TiXmlElement* theScanRoot;

extern CString theConfigLoadPath;
extern CString theConfigSavePath;
extern CString theScanPath;

// Forms the three paths from the drive text: the drive followed by /System/Configuration/....
void SetConfigPaths(const CString& strDriveText);

// Loads Configuration.xml. A file that is missing, unreadable, broken or without any element is
// reported with "Invalid Configfile, Resetting contents" and replaced in memory by a fresh document;
// a broken file that exists is kept as Configuration.xml.bak by the first save.
void LoadConfigDocument();
// Loads scan.xml; any failure simply means no scan.
void LoadScanDocument();

// Writes the whole configuration to its file, under the wait cursor. When that fails, the user is
// told which file and why in a message box owned by pOwner, and FALSE comes back so that the page's
// confirm fails: nothing in memory is lost and the next confirm tries again.
BOOL SaveConfigDocument(CWnd* pOwner);
// A page that rewrites a section says so; a confirm then saves once, after every page has written.
// A confirm in which no page wrote anything (only a disabled network was shown) leaves the file
// alone, byte for byte.
void MarkConfigChanged();
BOOL SaveConfigChanges(CWnd* pOwner);

// Takes a section that a rewrite replaced out of its document, unchanged, and lets it go at the next
// confirm's first rewrite (or when the program ends) instead of now: freeing a heavy card's old
// section node by node took its confirm as long as building the new one.
void SetAsideReplacedSection(TiXmlElement* pOld);

// Appends a new element as the last child of pParent and returns it.
TiXmlElement* AppendElement(TiXmlElement* pParent, const char* pszName);
// Appends a leaf element holding exactly one text node, also for an empty value; with a key the
// value is stored scrambled.
TiXmlElement* AppendTextElement(TiXmlElement* pParent, const char* pszName, const char* pszValue,
                                const char* pszKey = nullptr);

// The value of an element: all its texts and CDATA sections, joined in order (comments and other
// nodes between them left out); empty when it has none.
CString GetElementText(const TiXmlElement* pElement);
// The value of the first child element of that name, or empty when there is none.
CString GetChildText(const TiXmlNode* pParent, const char* pszName);
// The same two without a copy, for filling a long list: valid while the element is unchanged, and,
// for a value of several texts, until the next call.
const char* GetElementTextPtr(const TiXmlElement* pElement);
const char* GetChildTextPtr(const TiXmlNode* pParent, const char* pszName);
