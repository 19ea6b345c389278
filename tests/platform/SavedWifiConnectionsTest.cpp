// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SavedWifiConnections.h"

#include "NetworkManagerSandbox.h"

#include <QTest>
#include <QUuid>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace {

// Starts the sandbox, or skips the test where NetworkManager cannot run at all.
#define START_OR_SKIP(start)                                                                                           \
    if (const std::string strWhy = (start); !strWhy.empty())                                                           \
    GTEST_SKIP() << strWhy

// Counts what Qt would print, so that a test can tell that nothing was.
class CPrintedMessages
{
public:
    CPrintedMessages()
    {
        s_nCount = 0;
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            ++s_nCount;
            s_last = text;
        });
    }
    ~CPrintedMessages() { qInstallMessageHandler(m_previous); }
    int Count() const { return s_nCount; }
    std::string Last() const { return s_last.toStdString(); }

private:
    static inline int s_nCount = 0;
    static inline QString s_last;
    QtMessageHandler m_previous;
};

class CListingWait
{
public:
    CListingWait()
    {
        CSavedWifiConnections::SetListingObserver([this] { ++m_nListings; });
    }
    ~CListingWait() { CSavedWifiConnections::SetListingObserver(nullptr); }
    bool ForListing()
    {
        return QTest::qWaitFor([this] { return m_nListings > 0; }, 10000);
    }

private:
    int m_nListings = 0;
};

std::optional<std::vector<CSavedWifiConnection>> ListAll(CSavedWifiConnections& saved)
{
    std::optional<std::vector<CSavedWifiConnection>> list;
    CListingWait wait;
    saved.List([&list](const std::vector<CSavedWifiConnection>& connections) { list = connections; });
    EXPECT_TRUE(wait.ForListing());
    return list;
}

CWifiSecrets ReadSecretsOf(CSavedWifiConnections& saved, const CSavedWifiConnection& connection)
{
    std::optional<CWifiSecrets> secrets;
    saved.ReadSecrets(connection, 10000, [&secrets](const CWifiSecrets& given) { secrets = given; });
    EXPECT_TRUE(QTest::qWaitFor([&secrets] { return secrets.has_value(); }, 15000));
    return secrets.value_or(CWifiSecrets());
}

const char kWpaPsk[] = "[wifi-security]\nkey-mgmt=wpa-psk\nproto=rsn;\npsk=Latte Art 42\n";

} // namespace

// Beside the Wi-Fi connections NetworkManager holds a wired one, which is no network of the frame's.
TEST(SavedWifiConnectionsTest, ListsEachWifiConnectionWithItsSsidBytesKeyManagementProtocolsWepKeyTypeAndLastUse)
{
    CNetworkManagerSandbox sandbox;
    sandbox.AddWifi("Home", "Home", kWpaPsk, 1700000100);
    sandbox.AddWifi("Old Router", "Old Router", "[wifi-security]\nkey-mgmt=wpa-psk\nproto=wpa;\npsk=tkip only 1\n");
    sandbox.AddWifi("Café", "Caf\xe9", "[wifi-security]\nkey-mgmt=sae\npsk=dragonfly key\n", 1700000200);
    sandbox.AddWifi("Attic", "Attic", "[wifi-security]\nkey-mgmt=none\nwep-key-type=2\nwep-key0=attic words\n");
    sandbox.AddWifi("Office", "Office",
                    "[wifi-security]\nkey-mgmt=wpa-eap\n\n[802-1x]\neap=peap;\nidentity=alice\nphase2-auth=mschapv2\n"
                    "password=secret\n");
    sandbox.AddWifi("Park", "Park", "");
    sandbox.AddKeyfile("Wired",
                       "[connection]\nid=Wired\nuuid="
                           + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString()
                           + "\ntype=ethernet\n\n[ethernet]\n");
    START_OR_SKIP(sandbox.Start());

    CSavedWifiConnections saved;
    const auto list = ListAll(saved);
    ASSERT_TRUE(list.has_value());
    std::map<std::string, CSavedWifiConnection> bySSID;
    for (const CSavedWifiConnection& connection : *list)
        bySSID[connection.strSSID.Bytes()] = connection;
    ASSERT_EQ(bySSID.size(), 6u);
    struct
    {
        const char* pszSSID;
        const char* pszKeyMgmt;
        std::vector<std::string> protos;
        int nWepKeyType;
        unsigned long long nLastUsed;
    } const expected[] = {
        {"Home", "wpa-psk", {"rsn"}, 0, 1700000100},
        {"Old Router", "wpa-psk", {"wpa"}, 0, 0},
        {"Caf\xe9", "sae", {}, 0, 1700000200},
        {"Attic", "none", {}, 2, 0},
        {"Office", "wpa-eap", {}, 0, 0},
        {"Park", "", {}, 0, 0},
    };
    for (const auto& want : expected) {
        SCOPED_TRACE(want.pszSSID);
        ASSERT_EQ(bySSID.count(want.pszSSID), 1u);
        const CSavedWifiConnection& got = bySSID[want.pszSSID];
        EXPECT_EQ(got.strKeyMgmt, want.pszKeyMgmt);
        std::vector<std::string> protos;
        for (const CString& proto : got.protos)
            protos.push_back(proto.Bytes());
        EXPECT_EQ(protos, want.protos);
        EXPECT_EQ(got.nWepKeyType, want.nWepKeyType);
        EXPECT_EQ(got.nLastUsed, want.nLastUsed);
        EXPECT_EQ(got.strPath.Bytes().rfind("/org/freedesktop/NetworkManager/Settings/", 0), 0u) << got.strPath;
    }
}

// A key NetworkManager keeps itself is given out; one that a desktop's agent keeps (psk-flags 1), or
// that is never saved (2), is not, as no agent runs here.
TEST(SavedWifiConnectionsTest, ReadsAKeyNetworkManagerKeepsAndSaysWhyItGivesNoneOtherwise)
{
    CNetworkManagerSandbox sandbox;
    const struct
    {
        const char* pszSSID;
        const char* pszLines;
        const char* pszPsk;
        const char* pszWepKey0;
        const char* pszErrorStart;
    } cases[] = {
        {"Home", kWpaPsk, "Latte Art 42", "", ""},
        {"Attic", "[wifi-security]\nkey-mgmt=none\nwep-key-type=1\nwep-key0=0123456789abcdef0123456789\n", "",
         "0123456789abcdef0123456789", ""},
        {"Agent", "[wifi-security]\nkey-mgmt=wpa-psk\npsk-flags=1\n", "", "",
         "org.freedesktop.NetworkManager.AgentManager.NoSecrets: "},
        {"Not Saved", "[wifi-security]\nkey-mgmt=wpa-psk\npsk-flags=2\n", "", "",
         "org.freedesktop.NetworkManager.AgentManager.NoSecrets: "},
    };
    for (const auto& c : cases)
        sandbox.AddWifi(c.pszSSID, c.pszSSID, c.pszLines);
    START_OR_SKIP(sandbox.Start());

    CSavedWifiConnections saved;
    const auto list = ListAll(saved);
    ASSERT_TRUE(list.has_value());
    // Each page keeps its object while it is shown; a connection kept too would count against the
    // user's limit on the system bus, which all their programs share.
    EXPECT_EQ(sandbox.ConnectionsOfThisProcess(), 0) << "after the listing";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszSSID);
        const auto it = std::find_if(list->begin(), list->end(), [&c](const CSavedWifiConnection& connection) {
            return connection.strSSID == c.pszSSID;
        });
        ASSERT_NE(it, list->end());
        const CWifiSecrets secrets = ReadSecretsOf(saved, *it);
        EXPECT_EQ(secrets.strPsk, c.pszPsk);
        EXPECT_EQ(secrets.strWepKey0, c.pszWepKey0);
        EXPECT_EQ(secrets.strError.Bytes().rfind(c.pszErrorStart, 0), 0u) << secrets.strError;
        EXPECT_EQ(secrets.strError.IsEmpty(), *c.pszErrorStart == 0) << secrets.strError;
        EXPECT_EQ(sandbox.ConnectionsOfThisProcess(), 0) << "after reading the key";
    }
}

// No bus at the address, or a bus without NetworkManager on it: the listing ends with nothing, the key
// cannot be had, and nothing is printed.
TEST(SavedWifiConnectionsTest, WithoutABusOrWithoutNetworkManagerNothingIsListedTheKeyIsRefusedAndNothingPrinted)
{
    for (const bool bBus : {false, true}) {
        SCOPED_TRACE(bBus ? "a bus without NetworkManager" : "no bus");
        CNetworkManagerSandbox sandbox;
        if (bBus)
            START_OR_SKIP(sandbox.StartBusOnly());
        const CPrintedMessages printed;
        CSavedWifiConnections saved;
        bool bListed = false;
        CListingWait wait;
        saved.List([&bListed](const std::vector<CSavedWifiConnection>&) { bListed = true; });
        EXPECT_TRUE(wait.ForListing());
        EXPECT_FALSE(bListed);
        CSavedWifiConnection connection;
        connection.strPath = "/org/freedesktop/NetworkManager/Settings/1";
        EXPECT_FALSE(ReadSecretsOf(saved, connection).strError.IsEmpty());
        EXPECT_EQ(printed.Count(), 0) << printed.Last();
    }
}

// The page that asked went away before NetworkManager answered, at any point of the listing: nothing
// is called back after that.
TEST(SavedWifiConnectionsTest, DestroyedBeforeTheAnswerCallsNothingBackAfterwards)
{
    CNetworkManagerSandbox sandbox;
    sandbox.AddWifi("Home", "Home", kWpaPsk);
    START_OR_SKIP(sandbox.Start());
    int nLate = 0;
    for (int nWaitMs : {0, 0, 1, 1, 2, 3, 5}) {
        auto pGone = std::make_shared<bool>(false);
        auto pSaved = std::make_unique<CSavedWifiConnections>();
        pSaved->List([&nLate, pGone](const std::vector<CSavedWifiConnection>&) { nLate += *pGone ? 1 : 0; });
        QTest::qWait(nWaitMs);
        pSaved.reset();
        *pGone = true;
    }
    QTest::qWait(300);
    EXPECT_EQ(nLate, 0);
    // One left alone answers, so the waits above were long enough to matter.
    CSavedWifiConnections saved;
    EXPECT_EQ(ListAll(saved).value_or(std::vector<CSavedWifiConnection>()).size(), 1u);
}
