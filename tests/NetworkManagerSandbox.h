// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A NetworkManager of the test's own, so that the editor talks to the real thing and never to the
// host's: a D-Bus daemon listening on a socket in a temporary folder, and NetworkManager on that bus
// in private mount and network namespaces. There its state and run folders are the temporary
// folder's, its connections are keyfiles written there, and the only device it sees is a loopback
// of its own, which it leaves alone. The editor is pointed at the bus through
// DBUS_SYSTEM_BUS_ADDRESS for as long as the sandbox lives.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <string>

// The system bus of every test that starts none of its own: an address where nothing listens.
void UseNoSystemBus();

class CNetworkManagerSandbox
{
public:
    CNetworkManagerSandbox();
    // Stops NetworkManager and the bus, and points the system bus at nothing again.
    ~CNetworkManagerSandbox();
    CNetworkManagerSandbox(const CNetworkManagerSandbox&) = delete;
    CNetworkManagerSandbox& operator=(const CNetworkManagerSandbox&) = delete;

    // Before Start: a saved Wi-Fi connection, its SSID taken byte for byte and its [wifi-security]
    // (or any other) lines as a keyfile has them; nLastUsed is the time it was last connected, in
    // seconds since 1970, 0 for never. Returns its UUID.
    std::string AddWifi(const std::string& strId, const std::string& ssid, const std::string& lines,
                        unsigned long long nLastUsed = 0);
    // A connection of any other type, written as given (with id, uuid and type).
    void AddKeyfile(const std::string& strName, const std::string& keyfile);

    // Starts the bus alone, with no NetworkManager on it. Empty, or why it could not.
    std::string StartBusOnly();
    // Starts the bus and NetworkManager, and waits until NetworkManager lists every connection added.
    // Empty, or why it could not start (with the end of its log).
    std::string Start();

    const QString& Address() const { return m_address; }
    // How many connections this process holds to the sandbox's bus, besides the sandbox's own.
    int ConnectionsOfThisProcess() const;

private:
    std::string StartBus();
    std::string StartNetworkManager();
    std::string WaitForConnections();
    QString Path(const QString& relative) const { return m_dir.path() + "/" + relative; }

    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_networkManager;
    QString m_address;
    int m_nConnections = 0;
    QString m_timestamps;
};
