// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Wi-Fi network: a profile stored in the configuration (a configured network), or a network from
// the frame's last scan that has no profile yet (an available network). The page fills itself when
// first shown, checks the profile when confirmed and rewrites it in the NetworkConnectionInfo section.

#include "pages/PageChecks.h"
#include "platform/PropertyPage.h"
#include "platform/SavedWifiConnections.h"

#include <functional>
#include <memory>

class TiXmlElement;

enum : int {
    IDC_PASSPHRASE = 1005,
    IDC_HEX_KEY = 1006,
    IDC_ENCRYPTED = 1008,
    IDC_SSID = 1009,
    IDC_NET_MASK = 1010,
    IDC_KEY_PASSWORD = 1011,
    IDC_RETYPE_PASSWORD = 1012,
    IDC_GATEWAY_IP = 1013,
    IDC_DEVICE_IP = 1014,
    IDC_NAME_SERVER_IP = 1015,
    IDC_ENABLE = 1023,
    IDC_DEFAULT = 1024,
    IDC_ENCRYPTION_MODE = 1033,
    IDC_DHCP = 1034,
    IDC_STATIC_IP = 1035,
    IDC_OPERATION_MODE = 1036,
};

class CPropPageNetwork : public CPropertyPage
{
public:
    CPropPageNetwork();

    CString m_strEncrypted;
    CString m_strGatewayIP;
    CString m_strDeviceIP;
    CString m_strKeyPassword;
    CString m_strRetypePassword;
    CString m_strNameServerIP;
    CString m_strNetMask;
    CString m_strSSID;
    CString m_strEncryptionMode;
    CString m_strOperationMode;
    int m_bEnable = 0;
    int m_bDefault = 0;
    int m_bInitialised = 0;

    // The page's title, "Configured Networks::" or "Available Networks::" and the whole SSID. The page
    // finds its profile by the text after the first "::", so the title is never cut.
    void SetPageTitle(const char* pszTitle);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // With Enable checked, an encrypted profile needs a mode and a key typed twice alike; a key or
    // static address the user changed must have a form the frame can use.
    BOOL CheckInput() override;
    // With Enable checked: rewrites the profile. With Enable cleared: writes nothing.
    BOOL OnApply() override;

    // Replaces this page's profile in the section by a new one at its end and recounts NumAccessPoint.
    BOOL WriteAccessPoint(TiXmlElement* pSection);
    // Clears this page's Default mark; for a stored profile whose page was never shown, in the document.
    void ClearDefault();
    // Checking Default on one network clears it on every other. The application holds all the
    // network pages and the stored profiles without one, so it does that, through this handler.
    static void SetClearOtherDefaults(std::function<void(CPropPageNetwork*)> handler);

    void OnEnable();
    void OnDefault();
    void OnDhcp();
    void OnStaticIp();
    void OnModified();
    // The key boxes, the key type, the mode, the address mode or an address changed.
    void OnProfileEdited();
    void OnShowPassword();
    // Fills the key from this PC's saved connection of the page's SSID, as if the user typed it.
    void OnUsePCPassword();

    // The SSID of an access point element (stored or scanned): the text of Link/SSID, empty when
    // either is missing.
    static CString AccessPointSSID(const TiXmlElement* pAccessPoint);
    // The first access point of a NetworkConnectionInfo section with that SSID, byte for byte.
    static TiXmlElement* FindAccessPoint(TiXmlElement* pSection, const CString& strSSID);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CCommandMap& GetCommandMap() const override;

private:
    bool IsAvailablePage() const;
    bool IsEncrypted() const;
    CString TitleSSID() const;
    void EnableAddressEdits(BOOL bEnable);
    void EnableEncryptionControls(BOOL bEnable);
    BOOL IsChecked(int nID);
    void Check(int nID);
    void LoadPage();
    // Flags the key and the addresses whose values the frame could not use.
    void MarkValues();
    CString KeyInputs();
    // The button "Use This PC's Password" shows once NetworkManager has listed a saved connection of
    // this SSID that holds a pre-shared key; the one used last, when there are several.
    void LookUpSavedConnection();
    void OnSavedConnectionsListed(const std::vector<CSavedWifiConnection>& connections);
    void OnSecretsRead(const CWifiSecrets& secrets);
    void FillWpaKey(const CString& strKey);
    void FillWepKey(const CString& strKey);
    // Sets the mode, the key type and both key boxes, then runs the handler a typed key runs.
    void FillKey(const char* pszMode, int nKeyTypeID, const CString& strKey);
    void EndReadingSecrets();
    void OnDestroy() override;

    CString m_szTitle;
    bool m_bAvailable = false;
    // The stored profile holds a Key or an EncryptionMode: without an Encrypted flag it is encrypted.
    bool m_bStoresKey = false;
    CValueChecks m_valueChecks;
    // Made with the page window and gone with it, so that no answer reaches a page that is gone.
    std::unique_ptr<CSavedWifiConnections> m_pSavedWifi;
    std::unique_ptr<CSavedWifiConnection> m_pSavedConnection;
    bool m_bReadingSecrets = false;
};
