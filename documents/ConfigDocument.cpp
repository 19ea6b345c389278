// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/ConfigDocument.h"

#include "documents/ScrambledText.h"
#include "documents/XmlFile.h"
#include "platform/Files.h"
#include "platform/WinApp.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

TiXmlDocument theConfigDoc;
TiXmlElement* theConfigElement = nullptr;
TiXmlDocument theScanDoc;
TiXmlElement* theScanRoot = nullptr;

CString theConfigLoadPath;
CString theConfigSavePath;
CString theScanPath;

namespace {

// The card's root: nothing outside it is read or written, whatever links the card holds.
CString g_strDriveFolder;

// The loaded file began with a byte-order mark; saving repeats it, as TinyXML does.
bool g_bConfigHadBom = false;
// The file on disk could not be loaded although it exists: its bytes are kept aside before the first
// save replaces them, so that a file the program could not read is never simply destroyed.
bool g_bKeepUnreadableFile = false;
// Set when a page rewrote a section that has not been saved yet.
bool g_bConfigChanged = false;
// What the file on the card held when it was read, or last written: another editor or tool may
// write it while the window is open, and a save must not silently undo that. No file, or one that
// was not the frame's (a link out of the card, a FIFO), is remembered as absent.
std::optional<std::string> g_cardBytes;
// The file exists but could not be read (no permission, an I/O error): nobody could keep a copy of
// it, so it is never saved over in this run. The reason, for the user.
CString g_strUnreadable;

// The sections the rewrites of the current (or last) confirm replaced. They go once a confirm has
// saved, at the first rewrite after it, so that a confirm never frees what it replaced itself.
std::vector<std::unique_ptr<TiXmlNode>> g_setAside;
bool g_bSetAsideSaved = false;

void ResetConfigDocument()
{
    theConfigDoc.Clear();
    theConfigDoc.ClearError();
    theConfigDoc.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", "no"));
    auto* pRoot = new TiXmlElement("RootInfo");
    pRoot->SetAttribute("version", 100);
    theConfigDoc.LinkEndChild(pRoot);
    theConfigElement = new TiXmlElement("Configuration");
    pRoot->LinkEndChild(theConfigElement);
    g_bConfigHadBom = false;
}

BOOL KeepUnreadableFile(CString& strWhy)
{
    if (!g_bKeepUnreadableFile)
        return TRUE;
    std::string oldBytes;
    CString strError;
    CFileFacts facts;
    const BOOL bRead = ReadWholeFile(theConfigSavePath, g_strDriveFolder, oldBytes, strError, &facts);
    if (!bRead && (!facts.bExists || facts.bRefused)) {
        // Gone, or something that is not the frame's file (a link out of the card, a FIFO, a huge
        // file): there is nothing of the user's to keep, and the save replaces it.
        g_bKeepUnreadableFile = false;
        return TRUE;
    }
    // The copy is as private as the file it copies.
    if (!bRead
        || ReplaceFileAtomically(theConfigSavePath + ".bak", g_strDriveFolder, oldBytes, strError, &facts)
            == CReplaceResult::Failed) {
        strWhy = "the old file could not be kept as Configuration.xml.bak first (" + strError + ")";
        return FALSE;
    }
    g_bKeepUnreadableFile = false;
    return TRUE;
}

// What the card holds now where the file was read, as remembered at the load.
std::optional<std::string> ReadCardBytes()
{
    std::string bytes;
    CString strError;
    CFileFacts facts;
    if (ReadWholeFile(theConfigSavePath, g_strDriveFolder, bytes, strError, &facts))
        return bytes;
    return std::nullopt;
}

// Another writer changed the file since it was read: the user decides whether this save undoes
// that. A file that went away is no change to keep (the save then fails on a pulled card).
BOOL MayOverwriteCard(CWnd* pOwner)
{
    const std::optional<std::string> now = ReadCardBytes();
    if (!now || now == g_cardBytes)
        return TRUE;
    return AskBeforeLosing(pOwner ? pOwner->GetSafeHwnd() : nullptr, "Settings Changed on the Card",
                           "Configuration.xml was changed on the card after DPF Settings read it. Saving now "
                           "would undo those changes.",
                           "Overwrite", "Cancel");
}

CReplaceResult WriteConfigFile(CString& strWhy)
{
    if (!g_strUnreadable.IsEmpty()) {
        strWhy = "it could not be read when DPF Settings started (" + g_strUnreadable
            + "), and saving would replace settings nobody has seen";
        return CReplaceResult::Failed;
    }
    std::string bytes;
    if (!PrintXmlFile(theConfigDoc, g_bConfigHadBom, bytes)) {
        strWhy = "there was not enough memory to prepare the file";
        return CReplaceResult::Failed;
    }
    // A file the next start would refuse to read is not written.
    if (bytes.size() > kMaxReadSize) {
        strWhy = "the file would be larger than 64 MiB";
        return CReplaceResult::Failed;
    }
    if (!KeepUnreadableFile(strWhy))
        return CReplaceResult::Failed;
    const CReplaceResult result = ReplaceFileAtomically(theConfigSavePath, g_strDriveFolder, bytes, strWhy);
    if (result != CReplaceResult::Failed)
        g_cardBytes = std::move(bytes);
    return result;
}

} // namespace

void SetConfigPaths(const CString& strDriveText)
{
    g_strDriveFolder = strDriveText;
    theConfigLoadPath = strDriveText + "/System/Configuration/Configuration.xml";
    theConfigSavePath = theConfigLoadPath;
    theScanPath = strDriveText + "/System/Configuration/scan.xml";
}

void LoadConfigDocument()
{
    g_bKeepUnreadableFile = false;
    g_bConfigChanged = false;
    g_cardBytes.reset();
    g_strUnreadable.Empty();
    std::string bytes;
    CString strError;
    bool bHadBom = false;
    CFileFacts facts;
    const BOOL bRead = ReadWholeFile(theConfigLoadPath, g_strDriveFolder, bytes, strError, &facts);
    if (bRead)
        g_cardBytes = bytes;
    if (!bRead && facts.bExists && !facts.bRefused) {
        // Not broken, but unreadable: its settings may be perfectly good, so they are not called
        // invalid, and nothing replaces them.
        g_strUnreadable = strError;
        CString strMessage;
        strMessage.Format("%s could not be read: %s.\n\nDPF Settings will not save over it. Make the file "
                          "readable (or check the card), then start DPF Settings again.",
                          static_cast<const char*>(theConfigLoadPath), static_cast<const char*>(strError));
        MessageBoxA(nullptr, strMessage, "Error", MB_OK);
        ResetConfigDocument();
        return;
    }
    if (bRead && ParseXmlFile(theConfigDoc, bytes, bHadBom, strError)) {
        g_bConfigHadBom = bHadBom;
        TiXmlElement* pRoot = theConfigDoc.RootElement();
        theConfigElement = pRoot->FirstChildElement("Configuration");
        if (!theConfigElement) {
            // A root without the settings element is still the frame's file: keep everything in it and
            // give the pages the element they write under.
            theConfigElement = new TiXmlElement("Configuration");
            pRoot->LinkEndChild(theConfigElement);
        }
        return;
    }
    g_bKeepUnreadableFile = facts.bExists && !facts.bRefused;
    MessageBoxA(nullptr, "Invalid Configfile, Resetting contents", "Error", MB_OK);
    ResetConfigDocument();
}

void LoadScanDocument()
{
    std::string bytes;
    CString strError;
    bool bHadBom = false;
    if (ReadWholeFile(theScanPath, g_strDriveFolder, bytes, strError)
        && ParseXmlFile(theScanDoc, bytes, bHadBom, strError))
        theScanRoot = theScanDoc.RootElement();
    else
        theScanRoot = nullptr;
}

BOOL SaveConfigDocument(CWnd* pOwner)
{
    if (!MayOverwriteCard(pOwner))
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    if (pApp)
        pApp->BeginWaitCursor();
    CString strWhy;
    const CReplaceResult result = WriteConfigFile(strWhy);
    if (pApp)
        pApp->EndWaitCursor();
    CString strMessage;
    if (result == CReplaceResult::Failed) {
        strMessage.Format("The settings could not be saved to %s: %s.\n\n"
                          "Your changes are still here. Check that the frame's card or stick is plugged in, "
                          "not write-protected and not full, then press OK or Apply again.",
                          static_cast<const char*>(theConfigSavePath), static_cast<const char*>(strWhy));
    } else if (result == CReplaceResult::ReplacedUnflushed) {
        strMessage.Format("The settings were saved to %s, but the card may not have finished writing them (%s).\n\n"
                          "Eject the card safely before you remove it.",
                          static_cast<const char*>(theConfigSavePath), static_cast<const char*>(strWhy));
    }
    if (!strMessage.IsEmpty())
        MessageBoxA(pOwner ? pOwner->GetSafeHwnd() : nullptr, strMessage, "Error", MB_OK);
    return result != CReplaceResult::Failed;
}

CString GetElementText(const TiXmlElement* pElement)
{
    return CString(GetElementTextPtr(pElement));
}

CString GetChildText(const TiXmlNode* pParent, const char* pszName)
{
    return CString(GetChildTextPtr(pParent, pszName));
}

const char* GetElementTextPtr(const TiXmlElement* pElement)
{
    // A value another tool wrote as several texts and CDATA sections, or with a comment inside, is
    // all of them in order: "AT<![CDATA[&]]>T" is "AT&T". Nearly every value is one text, and is
    // handed out without a copy.
    const TiXmlText* pOnly = nullptr;
    bool bSeveral = false;
    for (const TiXmlNode* pChild = pElement ? pElement->FirstChild() : nullptr; pChild;
         pChild = pChild->NextSibling()) {
        if (const TiXmlText* pText = pChild->ToText()) {
            bSeveral = pOnly != nullptr;
            pOnly = pText;
            if (bSeveral)
                break;
        }
    }
    if (!bSeveral)
        return pOnly ? pOnly->Value() : "";
    static std::string joined;
    joined.clear();
    for (const TiXmlNode* pChild = pElement->FirstChild(); pChild; pChild = pChild->NextSibling()) {
        if (const TiXmlText* pText = pChild->ToText())
            joined += pText->ValueStr();
    }
    return joined.c_str();
}

const char* GetChildTextPtr(const TiXmlNode* pParent, const char* pszName)
{
    return GetElementTextPtr(pParent ? pParent->FirstChildElement(pszName) : nullptr);
}

void MarkConfigChanged()
{
    g_bConfigChanged = true;
}

void SetAsideReplacedSection(TiXmlElement* pOld)
{
    if (g_bSetAsideSaved) {
        g_setAside.clear();
        g_bSetAsideSaved = false;
    }
    UnlinkXmlNode(pOld);
    g_setAside.emplace_back(pOld);
}

BOOL SaveConfigChanges(CWnd* pOwner)
{
    // Whatever the outcome, what this confirm replaced may go at the next one.
    g_bSetAsideSaved = true;
    if (!g_bConfigChanged)
        return TRUE;
    if (!SaveConfigDocument(pOwner))
        return FALSE;
    g_bConfigChanged = false;
    return TRUE;
}

TiXmlElement* AppendElement(TiXmlElement* pParent, const char* pszName)
{
    auto* pElement = new TiXmlElement(pszName);
    pParent->LinkEndChild(pElement);
    return pElement;
}

TiXmlElement* AppendTextElement(TiXmlElement* pParent, const char* pszName, const char* pszValue, const char* pszKey)
{
    TiXmlElement* pElement = AppendElement(pParent, pszName);
    pElement->LinkEndChild(NewTiXmlText(pszValue, pszKey));
    return pElement;
}
