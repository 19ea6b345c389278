// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Wi-Fi connections that NetworkManager keeps on this PC, read over the system bus, and the key of
// one of them. Every call is asynchronous, so the window never waits on the bus; a PC without a system
// bus or without NetworkManager simply has no saved connections, and nothing is printed.

#include "platform/String.h"

#include <functional>
#include <memory>
#include <vector>

// One saved connection of type 802-11-wireless, as GetSettings describes it.
struct CSavedWifiConnection
{
    CString strSSID; // the SSID's bytes, exactly
    // 802-11-wireless-security.key-mgmt: "wpa-psk", "sae", "none" (static WEP), "wpa-eap", "owe", ...;
    // empty for an open network, which has no security setting at all
    CString strKeyMgmt;
    std::vector<CString> protos; // "wpa", "rsn"; empty allows both
    int nWepKeyType = 0; // 0 unknown, 1 a key, 2 a passphrase that is hashed into the key
    unsigned long long nLastUsed = 0; // connection.timestamp: seconds since 1970, 0 for never
    CString strPath; // the connection's object path
};

// What GetSecrets("802-11-wireless-security") gave, or why nothing came.
struct CWifiSecrets
{
    CString strPsk;
    CString strWepKey0;
    // The bus error's name and message; empty when NetworkManager answered with secrets.
    CString strError;
};

class CSavedWifiConnections
{
public:
    CSavedWifiConnections();
    // Drops whatever is still under way: no handler runs after this.
    ~CSavedWifiConnections();
    CSavedWifiConnections(const CSavedWifiConnections&) = delete;
    CSavedWifiConnections& operator=(const CSavedWifiConnections&) = delete;

    // Lists the saved Wi-Fi connections, in NetworkManager's order, starting once the program next waits
    // for input, so that a window being shown is not held up. done runs on the user-interface thread
    // with the list; it never runs without a bus, without NetworkManager or after an error there.
    void List(std::function<void(const std::vector<CSavedWifiConnection>&)> done);
    // Asks for one connection's secrets; the desktop may first ask the user. done runs once: with the
    // secrets, or with the reason none came (a refusal, no bus, no answer within nTimeoutMs).
    void ReadSecrets(const CSavedWifiConnection& connection, int nTimeoutMs,
                     std::function<void(const CWifiSecrets&)> done);

    // Runs after every listing that ended, whether it found a list or not. Only tests set one: it tells
    // them when a window that shows no connection has heard all it will.
    static void SetListingObserver(std::function<void()> observer);

private:
    struct CState;
    std::unique_ptr<CState> m_pState;
};
