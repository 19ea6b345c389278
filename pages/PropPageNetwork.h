#pragma once
// One Wi-Fi network: a profile stored in the configuration, or a network from the frame's last scan
// that has no profile yet. Start-up makes one page per network and titles it with the network's path
// in the page tree.

#include "platform/PropertyPage.h"

class TiXmlElement;

class CPropPageNetwork : public CPropertyPage
{
public:
    CPropPageNetwork();

    // The page's title, "Configured Networks::" or "Available Networks::" and the whole SSID: the page
    // finds its profile by the text after the first "::", so the title is never cut.
    void SetPageTitle(const char* pszTitle);

    // The SSID of an access point element (stored or scanned): the text of Link/SSID, empty when
    // either is missing.
    static CString AccessPointSSID(const TiXmlElement* pAccessPoint);

private:
    CString m_szTitle;
};
