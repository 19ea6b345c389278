// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageNetwork.h"

#include "documents/ConfigDocument.h"
#include "documents/ConfigSection.h"
#include "documents/ScrambledText.h"
#include "pages/PageChecks.h"
#include "pages/PasswordBoxes.h"
#include "platform/WinApp.h"
#include "res/Resource.h"

#include <algorithm>
#include <cstring>

namespace {

const int kAddressEdits[] = {IDC_DEVICE_IP, IDC_NET_MASK, IDC_GATEWAY_IP, IDC_NAME_SERVER_IP};
const int kEncryptionControls[] = {IDC_ENCRYPTION_MODE, IDC_PASSPHRASE,      IDC_HEX_KEY,
                                   IDC_KEY_PASSWORD,    IDC_RETYPE_PASSWORD, IDC_SHOW_PASSWORD};

const char* const kAvailablePrefix = "Available Networks::";

TiXmlElement* Child(TiXmlElement* pParent, const char* pszName)
{
    return pParent ? pParent->FirstChildElement(pszName) : nullptr;
}

// NumAccessPoint holds the number of AccessPoint elements; it is recounted, never incremented, so it
// cannot drift from what the section really holds.
void UpdateAccessPointCount(TiXmlElement* pSection)
{
    int nCount = 0;
    for (const TiXmlElement* p = pSection->FirstChildElement("AccessPoint"); p;
         p = p->NextSiblingElement("AccessPoint"))
        ++nCount;
    CString strCount;
    strCount.Format("%d", nCount);

    if (TiXmlElement* pNum = pSection->FirstChildElement("NumAccessPoint")) {
        TiXmlNode* pFirst = pNum->FirstChild();
        if (pFirst && pFirst->ToText())
            pFirst->SetValue(strCount);
        else if (pFirst)
            pNum->InsertBeforeChild(pFirst, TiXmlText(strCount));
        else
            pNum->LinkEndChild(new TiXmlText(strCount));
        return;
    }
    TiXmlElement num("NumAccessPoint");
    num.LinkEndChild(new TiXmlText(strCount));
    if (TiXmlElement* pDeviceName = pSection->FirstChildElement("DeviceName"))
        pSection->InsertAfterChild(pDeviceName, num);
    else if (pSection->FirstChild())
        pSection->InsertBeforeChild(pSection->FirstChild(), num);
    else
        pSection->InsertEndChild(num);
}

} // namespace

CPropPageNetwork::CPropPageNetwork() : CPropertyPage(IDD_NETWORK)
{
    // The key's form depends on the mode and the key type: choosing another mode changes the key
    // as much as retyping it does.
    m_valueChecks.Add(
        IDC_KEY_PASSWORD,
        [this]() {
            if (!IsEncrypted() || m_strKeyPassword.IsEmpty())
                return CString();
            const CString strProblem = WifiKeyProblem(m_strKeyPassword, TrimBlanks(m_strEncryptionMode),
                                                      !IsChecked(IDC_PASSPHRASE));
            return strProblem.IsEmpty() ? PasswordLengthProblem(m_strKeyPassword, "Key Password") : strProblem;
        },
        [this]() { return KeyInputs(); });
    // The addresses are used only with Static IP; an empty box stays allowed, as it always was.
    const struct
    {
        int nID;
        CString CPropPageNetwork::*pValue;
        const char* pszLabel;
        bool bMask;
    } addresses[] = {
        {IDC_DEVICE_IP, &CPropPageNetwork::m_strDeviceIP, "Device IP", false},
        {IDC_NET_MASK, &CPropPageNetwork::m_strNetMask, "Net Mask", true},
        {IDC_GATEWAY_IP, &CPropPageNetwork::m_strGatewayIP, "Gateway IP", false},
        {IDC_NAME_SERVER_IP, &CPropPageNetwork::m_strNameServerIP, "Name Server IP", false},
    };
    for (const auto& address : addresses) {
        const auto pValue = address.pValue;
        const char* pszLabel = address.pszLabel;
        const bool bMask = address.bMask;
        m_valueChecks.Add(
            address.nID,
            [this, pValue, pszLabel, bMask]() {
                const CString& strValue = this->*pValue;
                if (IsChecked(IDC_DHCP) || strValue.IsEmpty())
                    return CString();
                return bMask ? NetMaskProblem(strValue, pszLabel) : IPAddressProblem(strValue, pszLabel);
            },
            [this, pValue]() { return this->*pValue; });
    }
}

CString CPropPageNetwork::KeyInputs()
{
    return m_strEncryptionMode + "\n" + (IsChecked(IDC_PASSPHRASE) ? "Passphrase" : "Hex") + "\n" + m_strKeyPassword;
}

void CPropPageNetwork::SetPageTitle(const char* pszTitle)
{
    m_szTitle = pszTitle;
    // The kind of page is fixed by the node start-up puts it under, never guessed from the SSID: a
    // stored network may well be called "Available Networks Lounge".
    m_bAvailable = m_szTitle.Bytes().compare(0, std::strlen(kAvailablePrefix), kAvailablePrefix) == 0;
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = m_szTitle;
}

CString CPropPageNetwork::AccessPointSSID(const TiXmlElement* pAccessPoint)
{
    return GetChildText(pAccessPoint ? pAccessPoint->FirstChildElement("Link") : nullptr, "SSID");
}

TiXmlElement* CPropPageNetwork::FindAccessPoint(TiXmlElement* pSection, const CString& strSSID)
{
    // The frame's own walk: the first AccessPoint and every sibling element after it.
    for (TiXmlElement* p = Child(pSection, "AccessPoint"); p; p = p->NextSiblingElement()) {
        if (AccessPointSSID(p) == strSSID)
            return p;
    }
    return nullptr;
}

bool CPropPageNetwork::IsAvailablePage() const
{
    return m_bAvailable;
}

bool CPropPageNetwork::IsEncrypted() const
{
    // One rule for the key boxes, the key checks and the writer: only a profile that says it is open,
    // or says nothing and stores no key and no mode either, is open. Anything else needs its key, and
    // is stored with one: a profile whose flag was lost still holds the key the frame joins with.
    const CString strEncrypted = TrimBlanks(m_strEncrypted);
    if (strEncrypted.IsEmpty())
        return m_bStoresKey;
    return strEncrypted != "false";
}

CString CPropPageNetwork::TitleSSID() const
{
    const int nSeparator = m_szTitle.Find("::");
    return nSeparator < 0 ? CString() : CString(m_szTitle.Bytes().substr(static_cast<size_t>(nSeparator) + 2));
}

void CPropPageNetwork::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ENCRYPTED, m_strEncrypted);
    DDX_Text(pDX, IDC_GATEWAY_IP, m_strGatewayIP);
    DDX_Text(pDX, IDC_DEVICE_IP, m_strDeviceIP);
    DDX_Text(pDX, IDC_KEY_PASSWORD, m_strKeyPassword);
    DDX_Text(pDX, IDC_RETYPE_PASSWORD, m_strRetypePassword);
    DDX_Text(pDX, IDC_NAME_SERVER_IP, m_strNameServerIP);
    DDX_Text(pDX, IDC_NET_MASK, m_strNetMask);
    DDX_Text(pDX, IDC_SSID, m_strSSID);
    DDX_CBString(pDX, IDC_ENCRYPTION_MODE, m_strEncryptionMode);
    DDX_CBString(pDX, IDC_OPERATION_MODE, m_strOperationMode);
    DDX_Check(pDX, IDC_ENABLE, m_bEnable);
    DDX_Check(pDX, IDC_DEFAULT, m_bDefault);
}

const CCommandMap& CPropPageNetwork::GetCommandMap() const
{
    static const CCommandMap map = {
        OnBnClicked(IDC_ENABLE, &CPropPageNetwork::OnEnable),
        OnBnClicked(IDC_DEFAULT, &CPropPageNetwork::OnDefault),
        OnBnClicked(IDC_DHCP, &CPropPageNetwork::OnDhcp),
        OnBnClicked(IDC_STATIC_IP, &CPropPageNetwork::OnStaticIp),
        OnBnClicked(IDC_PASSPHRASE, &CPropPageNetwork::OnProfileEdited),
        OnBnClicked(IDC_HEX_KEY, &CPropPageNetwork::OnProfileEdited),
        OnCbnSelChange(IDC_ENCRYPTION_MODE, &CPropPageNetwork::OnProfileEdited),
        OnCbnEditChange(IDC_OPERATION_MODE, &CPropPageNetwork::OnModified),
        OnEnChange(IDC_GATEWAY_IP, &CPropPageNetwork::OnProfileEdited),
        OnEnChange(IDC_DEVICE_IP, &CPropPageNetwork::OnProfileEdited),
        OnEnChange(IDC_KEY_PASSWORD, &CPropPageNetwork::OnProfileEdited),
        OnEnChange(IDC_RETYPE_PASSWORD, &CPropPageNetwork::OnProfileEdited),
        OnEnChange(IDC_NAME_SERVER_IP, &CPropPageNetwork::OnProfileEdited),
        OnEnChange(IDC_NET_MASK, &CPropPageNetwork::OnProfileEdited),
        OnEnChange(IDC_SSID, &CPropPageNetwork::OnModified),
        OnEnChange(IDC_ENCRYPTED, &CPropPageNetwork::OnModified),
        OnBnClicked(IDC_SHOW_PASSWORD, &CPropPageNetwork::OnShowPassword),
        OnBnClicked(IDC_USE_PC_PASSWORD, &CPropPageNetwork::OnUsePCPassword),
    };
    return map;
}

BOOL CPropPageNetwork::IsChecked(int nID)
{
    CWnd* pButton = GetDlgItem(nID);
    return pButton && pButton->SendMessage(BM_GETCHECK) != 0;
}

void CPropPageNetwork::Check(int nID)
{
    if (CWnd* pButton = GetDlgItem(nID))
        pButton->SendMessage(BM_SETCHECK, BST_CHECKED);
}

void CPropPageNetwork::EnableAddressEdits(BOOL bEnable)
{
    for (int nID : kAddressEdits) {
        if (CWnd* pEdit = GetDlgItem(nID))
            pEdit->EnableWindow(bEnable);
    }
}

void CPropPageNetwork::EnableEncryptionControls(BOOL bEnable)
{
    for (int nID : kEncryptionControls) {
        if (CWnd* pControl = GetDlgItem(nID))
            pControl->EnableWindow(bEnable);
    }
}

BOOL CPropPageNetwork::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    LoadPage();
    // What the controls give back now is what the frame already works with.
    UpdateData(TRUE);
    m_valueChecks.RememberLoaded();
    m_valueChecks.Mark(*this);
    LookUpSavedConnection();
    return TRUE;
}

void CPropPageNetwork::LoadPage()
{
    const bool bAvailable = IsAvailablePage();
    TiXmlElement* pSection = nullptr;
    if (bAvailable) {
        pSection = Child(theScanRoot, "NetworkConnectionInfo");
        if (CWnd* pDefault = GetDlgItem(IDC_DEFAULT))
            pDefault->EnableWindow(FALSE);
        m_bEnable = 0;
    } else {
        pSection = Child(theConfigElement, "NetworkConnectionInfo");
        m_bEnable = 1;
    }

    TiXmlElement* pAccessPoint = FindAccessPoint(pSection, TitleSSID());
    if (!pAccessPoint) {
        UpdateData(FALSE);
        m_bInitialised = 1;
        return;
    }

    TiXmlElement* pLink = Child(pAccessPoint, "Link");
    m_strSSID = GetChildText(pLink, "SSID");
    m_strOperationMode = GetChildText(pLink, "OperationMode");
    m_strEncrypted = GetChildText(pLink, "Encrypted");
    m_bStoresKey = Child(pLink, "Key") || !GetChildValue(pLink, "EncryptionMode").IsEmpty();

    m_bDefault = !bAvailable && GetChildValue(pAccessPoint, "Default") == "true";

    if (!IsEncrypted()) {
        EnableEncryptionControls(FALSE);
        if (CWnd* pMode = GetDlgItem(IDC_ENCRYPTION_MODE))
            pMode->SetWindowText("None");
    } else {
        EnableEncryptionControls(TRUE);
    }

    if (bAvailable) {
        m_strEncryptionMode = "Select Encryption";
        m_strKeyPassword.Empty();
        m_strRetypePassword.Empty();
        Check(IDC_PASSPHRASE);
        Check(IDC_DHCP);
        EnableAddressEdits(FALSE);
        UpdateData(FALSE);
        m_bInitialised = 1;
        return;
    }

    m_strEncryptionMode = GetChildValue(pLink, "EncryptionMode");
    m_strKeyPassword = GetScrambledText(Child(Child(pLink, "Key"), "KeyPassword"), CONFIG_KEY_TEXT);
    // The stored key shows in both boxes, so that an unchanged profile passes the retype check.
    m_strRetypePassword = m_strKeyPassword;
    Check(GetChildValue(Child(pLink, "Key"), "KeyType") == "Passphrase" ? IDC_PASSPHRASE : IDC_HEX_KEY);

    TiXmlElement* pIP = Child(pAccessPoint, "IPConfiguration");
    if (GetChildValue(pIP, "DHCP") == "true") {
        Check(IDC_DHCP);
        EnableAddressEdits(FALSE);
    } else {
        Check(IDC_STATIC_IP);
        EnableAddressEdits(TRUE);
        // The boxes show the stored addresses: a confirm writes the boxes back, and empty boxes would
        // erase the addresses of a profile the user did not touch.
        const TiXmlElement* pStatic = Child(pIP, "STATIC");
        m_strDeviceIP = GetChildText(pStatic, "DeviceIP");
        m_strNetMask = GetChildText(pStatic, "NetMask");
        m_strGatewayIP = GetChildText(pStatic, "GatewayIP");
        m_strNameServerIP = GetChildText(pStatic, "NameServerIP");
    }
    UpdateData(FALSE);
    m_bInitialised = 1;
}

BOOL CPropPageNetwork::OnSetActive()
{
    // Another page may have cleared this page's Default mark while it was hidden.
    UpdateData(FALSE);
    HidePasswords(*this, IDC_SHOW_PASSWORD, {IDC_KEY_PASSWORD, IDC_RETYPE_PASSWORD});
    return CPropertyPage::OnSetActive();
}

void CPropPageNetwork::OnEnable()
{
    UpdateData(TRUE);
    CWnd* pDefault = GetDlgItem(IDC_DEFAULT);
    if (!m_bEnable) {
        if (pDefault)
            pDefault->EnableWindow(FALSE);
        m_bDefault = 0;
        UpdateData(FALSE);
    } else if (pDefault) {
        pDefault->EnableWindow(TRUE);
    }
    SetModified(TRUE);
}

namespace {
std::function<void(CPropPageNetwork*)>& ClearOtherDefaultsHandler()
{
    static std::function<void(CPropPageNetwork*)> handler;
    return handler;
}
} // namespace

void CPropPageNetwork::SetClearOtherDefaults(std::function<void(CPropPageNetwork*)> handler)
{
    ClearOtherDefaultsHandler() = std::move(handler);
}

void CPropPageNetwork::OnDefault()
{
    UpdateData(TRUE);
    if (m_bDefault && ClearOtherDefaultsHandler())
        ClearOtherDefaultsHandler()(this);
    SetModified(TRUE);
}

void CPropPageNetwork::OnDhcp()
{
    EnableAddressEdits(FALSE);
    OnProfileEdited();
}

void CPropPageNetwork::OnStaticIp()
{
    EnableAddressEdits(TRUE);
    OnProfileEdited();
}

void CPropPageNetwork::OnModified()
{
    MarkValues();
    SetModified(TRUE);
}

void CPropPageNetwork::OnProfileEdited()
{
    // A key, an address mode or an address set on a profile that is not enabled would silently never
    // be stored; setting one says the user wants this network, so the profile is enabled with it.
    MarkValues();
    if (!m_bEnable) {
        Check(IDC_ENABLE);
        OnEnable();
        return;
    }
    SetModified(TRUE);
}

void CPropPageNetwork::MarkValues()
{
    UpdateData(TRUE);
    m_valueChecks.Mark(*this);
}

void CPropPageNetwork::OnShowPassword()
{
    ShowPasswords(*this, IDC_SHOW_PASSWORD, {IDC_KEY_PASSWORD, IDC_RETYPE_PASSWORD});
}

namespace {

// The desktop may first ask the user whether to give the key out; a PC that neither answers nor asks
// within D-Bus's own limit for a call will not.
const int kSecretsTimeoutMs = 25000;

bool IsHexKey(const CString& strKey, size_t nDigits)
{
    const std::string& key = strKey.Bytes();
    return key.size() == nDigits && std::all_of(key.begin(), key.end(), [](char ch) {
               return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
           });
}

// WPA's and WPA3's pre-shared key, and static WEP ("none"), are keys the frame can be given; 802.1X
// ("wpa-eap", "ieee8021x") and open networks ("owe", or no security at all) have none.
bool HoldsPreSharedKey(const CSavedWifiConnection& saved)
{
    return saved.strKeyMgmt == "wpa-psk" || saved.strKeyMgmt == "sae" || saved.strKeyMgmt == "none";
}

const CSavedWifiConnection* LastUsedWithKey(const std::vector<CSavedWifiConnection>& connections,
                                            const CString& strSSID)
{
    const CSavedWifiConnection* pLast = nullptr;
    for (const CSavedWifiConnection& saved : connections) {
        if (saved.strSSID == strSSID && HoldsPreSharedKey(saved) && (!pLast || saved.nLastUsed > pLast->nLastUsed))
            pLast = &saved;
    }
    return pLast;
}

} // namespace

void CPropPageNetwork::LookUpSavedConnection()
{
    // An open network takes no key, and a page without an SSID matches no connection.
    if (!IsEncrypted() || m_strSSID.IsEmpty())
        return;
    m_pSavedWifi = std::make_unique<CSavedWifiConnections>();
    m_pSavedWifi->List(
        [this](const std::vector<CSavedWifiConnection>& connections) { OnSavedConnectionsListed(connections); });
}

void CPropPageNetwork::OnSavedConnectionsListed(const std::vector<CSavedWifiConnection>& connections)
{
    const CSavedWifiConnection* pSaved = LastUsedWithKey(connections, m_strSSID);
    if (!pSaved)
        return;
    m_pSavedConnection = std::make_unique<CSavedWifiConnection>(*pSaved);
    if (CWnd* pButton = GetDlgItem(IDC_USE_PC_PASSWORD))
        pButton->ShowWindow(SW_SHOW);
}

void CPropPageNetwork::OnUsePCPassword()
{
    if (!m_pSavedConnection || !m_pSavedWifi || m_bReadingSecrets)
        return;
    if (m_pSavedConnection->strKeyMgmt == "none" && m_pSavedConnection->nWepKeyType == 2) {
        CString strMessage;
        strMessage.Format("This PC keeps the WEP key of the network \"%s\" as a passphrase that is hashed into the "
                          "key, and the key cannot be had back from it. Type the key instead.",
                          static_cast<const char*>(m_strSSID));
        MessageBox(strMessage, "Error", MB_OK);
        return;
    }
    m_bReadingSecrets = true;
    if (CWnd* pButton = GetDlgItem(IDC_USE_PC_PASSWORD))
        pButton->EnableWindow(FALSE);
    if (CWinApp* pApp = AfxGetApp())
        pApp->BeginWaitCursor();
    m_pSavedWifi->ReadSecrets(*m_pSavedConnection, kSecretsTimeoutMs,
                              [this](const CWifiSecrets& secrets) { OnSecretsRead(secrets); });
}

void CPropPageNetwork::EndReadingSecrets()
{
    if (!m_bReadingSecrets)
        return;
    m_bReadingSecrets = false;
    if (CWinApp* pApp = AfxGetApp())
        pApp->EndWaitCursor();
    if (CWnd* pButton = GetDlgItem(IDC_USE_PC_PASSWORD))
        pButton->EnableWindow(TRUE);
}

void CPropPageNetwork::OnSecretsRead(const CWifiSecrets& secrets)
{
    EndReadingSecrets();
    const bool bWep = m_pSavedConnection->strKeyMgmt == "none";
    const CString& strKey = bWep ? secrets.strWepKey0 : secrets.strPsk;
    if (strKey.IsEmpty()) {
        CString strMessage;
        strMessage.Format("This PC did not give out the password of the network \"%s\".",
                          static_cast<const char*>(m_strSSID));
        MessageBox(strMessage, "Error", MB_OK);
        return;
    }
    if (bWep)
        FillWepKey(strKey);
    else
        FillWpaKey(strKey);
}

void CPropPageNetwork::FillWpaKey(const CString& strKey)
{
    UpdateData(TRUE);
    const bool bSae = m_pSavedConnection->strKeyMgmt == "sae";
    const std::vector<CString>& protos = m_pSavedConnection->protos;
    const bool bOnlyWpa1 = !protos.empty()
        && std::all_of(protos.begin(), protos.end(), [](const CString& strProto) { return strProto == "wpa"; });
    // A page already set to WPA1 says how the frame joins this network; the PC's own choice of RSN does
    // not overrule it.
    const bool bWpa1 = !bSae && (bOnlyWpa1 || TrimBlanks(m_strEncryptionMode) == "WPA1");
    FillKey(bWpa1 ? "WPA1" : "WPA2", IsHexKey(strKey, 64) ? IDC_HEX_KEY : IDC_PASSPHRASE, strKey);
    if (bSae) {
        CString strMessage;
        strMessage.Format("This PC joins the network \"%s\" with WPA3, which the frame does not know. The password "
                          "is filled in for WPA2: the frame can join only if the network also accepts WPA2.",
                          static_cast<const char*>(m_strSSID));
        MessageBox(strMessage, "DPF Settings", MB_OK);
    }
}

void CPropPageNetwork::FillWepKey(const CString& strKey)
{
    const int nLength = strKey.GetLength();
    if (nLength == 5 || nLength == 13) {
        FillKey(nLength == 5 ? "WEP64" : "WEP128", IDC_PASSPHRASE, strKey);
    } else if (IsHexKey(strKey, 10) || IsHexKey(strKey, 26)) {
        FillKey(nLength == 10 ? "WEP64" : "WEP128", IDC_HEX_KEY, strKey);
    } else {
        CString strMessage;
        strMessage.Format("This PC's WEP key of the network \"%s\" is neither 5 or 13 characters nor 10 or 26 "
                          "hexadecimal digits, which are the keys the frame takes. Type the key instead.",
                          static_cast<const char*>(m_strSSID));
        MessageBox(strMessage, "Error", MB_OK);
    }
}

void CPropPageNetwork::FillKey(const char* pszMode, int nKeyTypeID, const CString& strKey)
{
    for (const auto& item : {std::make_pair(IDC_ENCRYPTION_MODE, CString(pszMode)),
                             std::make_pair(IDC_KEY_PASSWORD, strKey), std::make_pair(IDC_RETYPE_PASSWORD, strKey)}) {
        if (CWnd* pControl = GetDlgItem(item.first))
            pControl->SetWindowText(item.second);
    }
    Check(nKeyTypeID);
    // From here on as for a key the user typed: the key's checks mark it, Enable is checked and the
    // page counts as changed.
    OnProfileEdited();
}

void CPropPageNetwork::OnDestroy()
{
    m_pSavedWifi.reset();
    m_pSavedConnection.reset();
    EndReadingSecrets();
    CPropertyPage::OnDestroy();
}

void CPropPageNetwork::ClearDefault()
{
    if (m_bInitialised) {
        // The page writes its profile only when modified: the mark it drops must reach the file too.
        if (m_bDefault)
            SetModified(TRUE);
        m_bDefault = 0;
        UpdateData(FALSE);
        return;
    }
    if (IsAvailablePage())
        return;
    // A stored profile whose page was never shown is never confirmed either: its mark is cleared in
    // the document, and the save of the page that took the mark writes it.
    ClearDefaultMark(FindAccessPoint(Child(theConfigElement, "NetworkConnectionInfo"), TitleSSID()));
    m_bDefault = 0;
}

BOOL CPropPageNetwork::CheckInput()
{
    UpdateData(TRUE);
    if (!m_bEnable)
        return TRUE;
    if (IsEncrypted()) {
        const CString strMode = TrimBlanks(m_strEncryptionMode);
        if (strMode == "None" || strMode == "Select Encryption") {
            MessageBox("Invalid Encryption Mode", "Error", MB_OK);
            return FALSE;
        }
        // The key is asked for only where the user can type one: the key boxes of an open network
        // are disabled, and demanding a key there would make its page, and with it the whole sheet,
        // impossible to confirm.
        if (m_strKeyPassword.IsEmpty()) {
            MessageBox("You must provide a password", "Error", MB_OK);
            return FALSE;
        }
        if (m_strKeyPassword != m_strRetypePassword) {
            MessageBox("Verify password does not match!", "Error", MB_OK);
            return FALSE;
        }
    }
    return m_valueChecks.Check(*this);
}

BOOL CPropPageNetwork::OnApply()
{
    UpdateData(TRUE);
    if (!m_bEnable)
        return CPropertyPage::OnApply();
    TiXmlElement* pSection = theConfigElement->FirstChildElement("NetworkConnectionInfo");
    if (!pSection) {
        pSection = AppendElement(theConfigElement, "NetworkConnectionInfo");
        AppendTextElement(pSection, "DeviceName", "kestrovaDPF");
    }
    WriteAccessPoint(pSection);
    return CPropertyPage::OnApply();
}

BOOL CPropPageNetwork::WriteAccessPoint(TiXmlElement* pSection)
{
    UpdateData(TRUE);
    // The profile is replaced, not edited in place: it moves to the end of the section, taking along
    // what the frame stores in it beyond the page's own values.
    using E = CSectionElement;
    const bool bEncrypted = IsEncrypted();
    const bool bDhcp = IsChecked(IDC_DHCP);
    RewriteSection(
        pSection, FindAccessPoint(pSection, m_strSSID),
        E::Group("AccessPoint",
                 {E::Text("Default", m_bDefault ? "true" : "false"),
                  E::Group("Link",
                           {E::Text("SSID", m_strSSID), E::Text("OperationMode", m_strOperationMode),
                            E::Text("Encrypted", bEncrypted ? "true" : "false"),
                            E::Text("EncryptionMode", m_strEncryptionMode).Only(bEncrypted),
                            E::Group("Key",
                                     {E::Text("KeyType", IsChecked(IDC_PASSPHRASE) ? "Passphrase" : "Hex"),
                                      E::Scrambled("KeyPassword", m_strKeyPassword)})
                                .Only(bEncrypted)}),
                  E::Group("IPConfiguration",
                           {E::Text("DHCP", "true").Only(bDhcp),
                            E::Group("STATIC",
                                     {E::Text("DeviceIP", m_strDeviceIP), E::Text("NetMask", m_strNetMask),
                                      E::Text("GatewayIP", m_strGatewayIP), E::Text("NameServerIP", m_strNameServerIP)})
                                .Only(!bDhcp)})}),
        false);
    UpdateAccessPointCount(pSection);
    return TRUE;
}
