// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KestrovaConfigToolApp.h"

#include "app/CardChooserDlg.h"
#include "app/DriveLocator.h"
#include "documents/ConfigDocument.h"
#include "documents/ConfigSection.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"
#include "platform/Files.h"
#include "platform/ImageList.h"
#include "res/DialogTemplates.h"
#include "ui/TreePropSheet.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

// Never destroyed: when the display goes away, Qt ends the program with exit() from inside the
// sheet's loop, and destroying the pages under that loop crashed it. The system takes everything
// back at exit; a run that ends normally has deleted the pages already.
CKestrovaConfigToolApp& theApp = *new CKestrovaConfigToolApp;

namespace {

// The stored or scanned access points: the first child element named AccessPoint and every sibling
// element after it, whatever its name, as the frame writes and reads them.
template <class F>
void ForEachAccessPoint(const TiXmlElement* pSection, F f)
{
    if (!pSection)
        return;
    for (const TiXmlElement* p = pSection->FirstChildElement("AccessPoint"); p; p = p->NextSiblingElement())
        f(p);
}

// NumAccessPoint as a page count: leading blanks and a sign, then digits, as the frame reads it. A
// number too large for an int says "more than there are", so every stored profile gets its page; a
// negative one gives none.
int ReadAccessPointCount(const CString& strCount, int nPresent)
{
    errno = 0;
    const long long nValue = std::strtoll(strCount, nullptr, 10);
    if (nValue > INT_MAX || (errno == ERANGE && nValue > 0))
        return nPresent;
    return static_cast<int>(std::max(0LL, nValue));
}

} // namespace

CKestrovaConfigToolApp::CKestrovaConfigToolApp() = default;
CKestrovaConfigToolApp::~CKestrovaConfigToolApp() = default;

void CKestrovaConfigToolApp::ClearOtherDefaults(CPropPageNetwork* pKeep)
{
    for (int i = 0; i < m_nAvailableNetworks; ++i) {
        if (&m_pAvailablePages[static_cast<size_t>(i)] != pKeep)
            m_pAvailablePages[static_cast<size_t>(i)].ClearDefault();
    }
    for (int i = 0; i < m_nConfiguredNetworks; ++i) {
        if (&m_pConfiguredPages[static_cast<size_t>(i)] != pKeep)
            m_pConfiguredPages[static_cast<size_t>(i)].ClearDefault();
    }
    // Profiles without a page (beyond NumAccessPoint, or a second profile of one SSID) would keep
    // their mark, and the frame would find two default networks. The kept page's own profile is the
    // one it rewrites: the first with its SSID.
    TiXmlElement* pSection = theConfigElement ? theConfigElement->FirstChildElement("NetworkConnectionInfo") : nullptr;
    ClearOtherDefaultMarks(pSection, pKeep ? CPropPageNetwork::FindAccessPoint(pSection, pKeep->m_strSSID) : nullptr);
}

void CKestrovaConfigToolApp::SetDriveOverride(const CString& strDrive)
{
    m_bHasDriveOverride = !strDrive.IsEmpty();
    m_strDriveOverride = strDrive;
}

BOOL CKestrovaConfigToolApp::InitInstance()
{
    Enable3dControls();
    UsePageTemplates();
    CPropPageNetwork::SetClearOtherDefaults([this](CPropPageNetwork* pKeep) { ClearOtherDefaults(pKeep); });
    if (!ChooseDrive())
        return FALSE;
    SetConfigPaths(m_strDriveText);
    LoadConfigDocument();
    LoadScanDocument();

    TreePropSheet::CTreePropSheet sheet("DPF Settings", nullptr, 0);
    // The tree's pictures: a node without a page, and a page without a picture of its own. The list of
    // bitmap 135 is made and let go with the sheet; nothing shows it.
    const COLORREF crMask = RGB(0, 128, 128);
    CImageList treeImages;
    treeImages.Create(130, 16, 0, crMask);
    CImageList spareImages;
    spareImages.Create(135, 16, 0, crMask);
    AddPages(sheet);
    SetUpSheet(sheet, treeImages);

    // Whatever the pages saved, they saved while being confirmed; OK and Cancel end the run alike.
    m_pMainWnd = &sheet;
    sheet.DoModal();
    m_pMainWnd = nullptr;

    DeletePages();
    spareImages.DeleteImageList();
    treeImages.DeleteImageList();
    return FALSE;
}

BOOL CKestrovaConfigToolApp::ChooseDrive()
{
    if (m_bHasDriveOverride) {
        m_strDriveText = NormaliseDriveText(m_strDriveOverride);
        return TRUE;
    }
    // Started from the desktop's menu the current folder is the home folder: the card is then one of
    // the mounted volumes, or the user has to say which, or plug it in. Opening anything else would
    // show a reset, empty configuration of a folder that is no frame drive.
    std::vector<CFrameCard> cards = FindFrameCards(GetCurrentDirectoryPath(), GetExecutableDirectory());
    if (cards.size() == 1) {
        m_strDriveText = cards.front().strFolder;
        return TRUE;
    }
    CCardChooserDlg chooser(std::move(cards));
    if (chooser.DoModal() != IDOK)
        return FALSE;
    m_strDriveText = chooser.GetDriveText();
    return TRUE;
}

void CKestrovaConfigToolApp::AddPages(CPropertySheet& sheet)
{
    // Configured networks: one page per stored profile. NumAccessPoint and the profiles present may
    // disagree; a page is made only for a profile that is there and that the count admits, so no page
    // is ever left without a profile and the walk never runs past the pages.
    const TiXmlElement* pStored = theConfigElement->FirstChildElement("NetworkConnectionInfo");
    std::vector<const TiXmlElement*> stored;
    ForEachAccessPoint(pStored, [&stored](const TiXmlElement* p) { stored.push_back(p); });
    // A count without any digits (no element, an empty one, a word) says nothing: the profiles present
    // are counted instead. A number, even 0, is taken as the frame wrote it.
    int nCount = static_cast<int>(stored.size());
    const CString strCount = GetChildText(pStored, "NumAccessPoint");
    if (std::strpbrk(strCount, "0123456789"))
        nCount = std::min(nCount, ReadAccessPointCount(strCount, nCount));
    std::set<std::string> storedSSIDs;
    for (const TiXmlElement* pAccessPoint : stored)
        storedSSIDs.insert(CPropPageNetwork::AccessPointSSID(pAccessPoint).Bytes());
    stored.resize(static_cast<size_t>(nCount));
    m_nConfiguredNetworks = AddNetworkPages(sheet, "Configured Networks::", stored, m_pConfiguredPages);

    // Available networks: scanned networks whose SSID matches no stored profile, byte for byte. Every
    // stored profile hides its SSID, whether or not the count gave it a page.
    std::vector<const TiXmlElement*> scanned;
    ForEachAccessPoint(theScanRoot ? theScanRoot->FirstChildElement("NetworkConnectionInfo") : nullptr,
                       [&](const TiXmlElement* p) {
                           if (!storedSSIDs.count(CPropPageNetwork::AccessPointSSID(p).Bytes()))
                               scanned.push_back(p);
                       });
    m_nAvailableNetworks = AddNetworkPages(sheet, "Available Networks::", scanned, m_pAvailablePages);

    m_pEmailPage = std::make_unique<CPropPageEmail>();
    m_pAddressBookPage = std::make_unique<CPropPageAddressBook>();
    m_pInternetSharingPage = std::make_unique<CPropPageInternetSharing>();
    m_pPCSharingPage = std::make_unique<CPropPagePCSharing>();
    for (CPropertyPage* pPage :
         {static_cast<CPropertyPage*>(m_pEmailPage.get()), static_cast<CPropertyPage*>(m_pAddressBookPage.get()),
          static_cast<CPropertyPage*>(m_pInternetSharingPage.get()),
          static_cast<CPropertyPage*>(m_pPCSharingPage.get())}) {
        pPage->m_psp.dwFlags &= ~PSP_HASHELP;
        sheet.AddPage(pPage);
    }
}

int CKestrovaConfigToolApp::AddNetworkPages(CPropertySheet& sheet, const char* pszNode,
                                            const std::vector<const TiXmlElement*>& accessPoints,
                                            std::unique_ptr<CPropPageNetwork[]>& pPages)
{
    pPages.reset();
    if (accessPoints.empty())
        return 0;
    pPages = std::make_unique<CPropPageNetwork[]>(accessPoints.size());
    for (size_t i = 0; i < accessPoints.size(); ++i) {
        CPropPageNetwork& page = pPages[i];
        page.SetPageTitle(CString(pszNode) + CPropPageNetwork::AccessPointSSID(accessPoints[i]));
        page.m_psp.dwFlags &= ~PSP_HASHELP;
        sheet.AddPage(&page);
    }
    return static_cast<int>(accessPoints.size());
}

void CKestrovaConfigToolApp::SetUpSheet(TreePropSheet::CTreePropSheet& sheet, CImageList& treeImages)
{
    sheet.m_psh.dwFlags &= ~PSH_HASHELP;
    // The pages write their sections; the file is saved once, after all of them did.
    sheet.SetCommitHandler([](CWnd* pOwner) { return SaveConfigChanges(pOwner); });
    sheet.SetEmptyPageFormat("Please select a child item of '%s'.");
    sheet.SetTreeMode(TRUE, TRUE, TRUE);
    sheet.SetDefaultTreeImages(&treeImages);
    if (m_nConfiguredNetworks > 0)
        sheet.SetActivePage(&m_pConfiguredPages[0]);
    else if (m_nAvailableNetworks > 0)
        sheet.SetActivePage(&m_pAvailablePages[0]);
    else
        sheet.SetActivePage(m_pEmailPage.get());
    sheet.SetPageTreeWidth(200);
    // Several cards may be plugged in: the user must see which one these settings are on.
    sheet.SetButtonRowText(CString("Card: ") + (m_strDriveText.IsEmpty() ? CString("/") : m_strDriveText));
}

void CKestrovaConfigToolApp::DeletePages()
{
    m_pConfiguredPages.reset();
    m_pAvailablePages.reset();
    m_nConfiguredNetworks = 0;
    m_nAvailableNetworks = 0;
    m_pAddressBookPage.reset();
    m_pEmailPage.reset();
    m_pPCSharingPage.reset();
    m_pInternetSharingPage.reset();
}
