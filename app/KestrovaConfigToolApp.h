// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application: its whole run is start-up, one modal settings sheet, and tear-down.

#include "platform/String.h"
#include "platform/WinApp.h"

#include <memory>
#include <vector>

class CImageList;
class CPropertySheet;
class CPropPageNetwork;
class TiXmlElement;
namespace TreePropSheet {
class CTreePropSheet;
}
class CPropPageEmail;
class CPropPageAddressBook;
class CPropPageInternetSharing;
class CPropPagePCSharing;

class CKestrovaConfigToolApp : public CWinApp
{
public:
    CKestrovaConfigToolApp();
    ~CKestrovaConfigToolApp() override;

    // Finds the drive, loads both documents, builds and runs the sheet, deletes the pages. Always
    // FALSE: the program ends when the sheet closes.
    BOOL InitInstance() override;

    // Clears the Default mark of every network page but pKeep: at most one profile is the default.
    void ClearOtherDefaults(CPropPageNetwork* pKeep);

    // The drive given on the command line; when unset or set to the empty text (which no command line
    // gives), the drive is searched for.
    void SetDriveOverride(const CString& strDrive);
    // The drive text of the run, known once InitInstance has formed it.
    const CString& GetDriveText() const { return m_strDriveText; }

    int m_nConfiguredNetworks = 0;
    int m_nAvailableNetworks = 0;
    std::unique_ptr<CPropPageNetwork[]> m_pConfiguredPages;
    std::unique_ptr<CPropPageNetwork[]> m_pAvailablePages;
    std::unique_ptr<CPropPageEmail> m_pEmailPage;
    std::unique_ptr<CPropPageAddressBook> m_pAddressBookPage;
    std::unique_ptr<CPropPageInternetSharing> m_pInternetSharingPage;
    std::unique_ptr<CPropPagePCSharing> m_pPCSharingPage;

private:
    // The drive of the run: the one given, the one card found, or the one the user chose; FALSE when
    // the user cancelled the choice.
    BOOL ChooseDrive();
    // The network pages, stored then scanned, and the four fixed pages, in the order the tree shows.
    void AddPages(CPropertySheet& sheet);
    // One page per access point, titled under the tree node pszNode ("Configured Networks::").
    int AddNetworkPages(CPropertySheet& sheet, const char* pszNode,
                        const std::vector<const TiXmlElement*>& accessPoints,
                        std::unique_ptr<CPropPageNetwork[]>& pPages);
    void SetUpSheet(TreePropSheet::CTreePropSheet& sheet, CImageList& treeImages);
    void DeletePages();

    bool m_bHasDriveOverride = false;
    CString m_strDriveOverride;
    CString m_strDriveText;
};

extern CKestrovaConfigToolApp& theApp;
