#include "pages/PropPageNetwork.h"

#include "app/ConfigDocument.h"
#include "res/Resource.h"

CPropPageNetwork::CPropPageNetwork()
    : CPropertyPage(IDD_NETWORK)
{
}

void CPropPageNetwork::SetPageTitle(const char* pszTitle)
{
    m_szTitle = pszTitle;
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = m_szTitle;
}

CString CPropPageNetwork::AccessPointSSID(const TiXmlElement* pAccessPoint)
{
    return GetChildText(pAccessPoint ? pAccessPoint->FirstChildElement("Link") : nullptr, "SSID");
}
