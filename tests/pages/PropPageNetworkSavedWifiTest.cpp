// SPDX-License-Identifier: GPL-3.0-or-later
// "Use This PC's Password" against a real NetworkManager in a sandbox of the test's own (see
// NetworkManagerSandbox.h): which pages offer it, and what pressing it fills in and writes.

#include "pages/PropPageNetwork.h"

#include "NetworkManagerSandbox.h"
#include "PageTestSupport.h"
#include "platform/PropertySheet.h"
#include "platform/SavedWifiConnections.h"
#include "platform/TabCtrl.h"
#include "res/Resource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

#define START_OR_SKIP(start)                                                                                           \
    if (const std::string strWhy = (start); !strWhy.empty())                                                           \
    GTEST_SKIP() << strWhy

struct CSaved
{
    const char* pszSSID;
    const char* pszLines;
    unsigned long long nLastUsed;
};

const char kOpen[] = "";
const char kEnterprise[] = "[wifi-security]\nkey-mgmt=wpa-eap\n\n[802-1x]\neap=peap;\nidentity=alice\n"
                           "phase2-auth=mschapv2\npassword=office secret\n";

struct CSavedKeyCase
{
    const char* pszName;
    const char* pszSSID; // the page's
    std::vector<CSaved> saved;
    bool bButton;
    // A message box expected after the press, by its caption; none when empty.
    const char* pszBox;
    // What the page shows afterwards; no mode: nothing on the page changes.
    const char* pszMode;
    int nKeyTypeID;
    const char* pszKey;
    bool bNetworkManager = true;
};

std::ostream& operator<<(std::ostream& out, const CSavedKeyCase& c)
{
    return out << c.pszName;
}

#define HEX64 "0123456789abcdef0123456789abcdef0123456789abcdef0123456789ABCDEF"

const CSavedKeyCase kCases[] = {
    {"WpaPassphraseOnAnAvailableNetwork",
     "Cafe",
     {{"Cafe", "[wifi-security]\nkey-mgmt=wpa-psk\nproto=rsn;\npsk=Latte Art 42\n", 0}},
     true,
     "",
     "WPA2",
     IDC_PASSPHRASE,
     "Latte Art 42"},
    {"WpaOnlyProtocolGivesWpa1",
     "Old Router",
     {{"Old Router", "[wifi-security]\nkey-mgmt=wpa-psk\nproto=wpa;\npsk=tkip only 1\n", 0}},
     true,
     "",
     "WPA1",
     IDC_PASSPHRASE,
     "tkip only 1"},
    {"SixtyFourHexDigitsAreAHexKey",
     "Hexa",
     {{"Hexa", "[wifi-security]\nkey-mgmt=wpa-psk\npsk=" HEX64 "\n", 0}},
     true,
     "",
     "WPA2",
     IDC_HEX_KEY,
     HEX64},
    {"WepThirteenCharactersAreAWep128Passphrase",
     "Attic",
     {{"Attic", "[wifi-security]\nkey-mgmt=none\nwep-key-type=1\nwep-key0=thirteen char\n", 0}},
     true,
     "",
     "WEP128",
     IDC_PASSPHRASE,
     "thirteen char"},
    {"WepTenHexDigitsAreAWep64HexKey",
     "Shed",
     {{"Shed", "[wifi-security]\nkey-mgmt=none\nwep-key-type=1\nwep-key0=0123456789\n", 0}},
     true,
     "",
     "WEP64",
     IDC_HEX_KEY,
     "0123456789"},
    {"Wpa3IsFilledAsWpa2AndTheUserIsTold",
     "Dragon",
     {{"Dragon", "[wifi-security]\nkey-mgmt=sae\npsk=dragonfly key\n", 0}},
     true,
     "DPF Settings",
     "WPA2",
     IDC_PASSPHRASE,
     "dragonfly key"},
    {"ThePageKeepsWpa1AndTheStoredProfileTakesTheKey",
     "Home",
     {{"Home", "[wifi-security]\nkey-mgmt=wpa-psk\nproto=rsn;\npsk=new home key\n", 0}},
     true,
     "",
     "WPA1",
     IDC_PASSPHRASE,
     "new home key"},
    {"OfSeveralTheOneUsedLastWithAKeyIsTaken",
     "Twin",
     {{"Twin", "[wifi-security]\nkey-mgmt=wpa-psk\npsk=newer password\n", 1700000500},
      {"Twin", "[wifi-security]\nkey-mgmt=wpa-psk\npsk=older password\n", 1700000000},
      {"Twin", kEnterprise, 1700000900}},
     true,
     "",
     "WPA2",
     IDC_PASSPHRASE,
     "newer password"},
    {"AnAgentKeepsTheKeyAndNoneAnswersSoNothingChanges",
     "Agent",
     {{"Agent", "[wifi-security]\nkey-mgmt=wpa-psk\npsk-flags=1\n", 0}},
     true,
     "Error",
     nullptr,
     0,
     nullptr},
    {"AHashedWepPassphraseCannotBeTurnedIntoTheKey",
     "Loft",
     {{"Loft", "[wifi-security]\nkey-mgmt=none\nwep-key-type=2\nwep-key0=loft words\n", 0}},
     true,
     "Error",
     nullptr,
     0,
     nullptr},
    {"EnterpriseNetworkHasNoButton", "Office", {{"Office", kEnterprise, 0}}, false, "", nullptr, 0, nullptr},
    {"OpenSavedNetworkHasNoButton", "Park", {{"Park", kOpen, 0}}, false, "", nullptr, 0, nullptr},
    {"OpenPageHasNoButton",
     "Garden",
     {{"Garden", "[wifi-security]\nkey-mgmt=wpa-psk\npsk=garden key\n", 0}},
     false,
     "",
     nullptr,
     0,
     nullptr},
    {"AnotherSsidHasNoButton",
     "Cafe",
     {{"Cafe Upstairs", "[wifi-security]\nkey-mgmt=wpa-psk\npsk=Latte Art 42\n", 0}},
     false,
     "",
     nullptr,
     0,
     nullptr},
    {"NoNetworkManagerOnTheBusNoButton", "Cafe", {}, false, "", nullptr, 0, nullptr, false},
};

class SavedKeyTest : public CPageTest, public ::testing::WithParamInterface<CSavedKeyCase>
{
protected:
    SavedKeyTest()
    {
        CSavedWifiConnections::SetListingObserver([this] { ++m_nListings; });
    }
    ~SavedKeyTest() override { CSavedWifiConnections::SetListingObserver(nullptr); }

    static int PageOf(CPropertySheet& sheet, const char* pszSSID)
    {
        const std::string suffix = std::string("::") + pszSSID;
        for (int i = 0; i < sheet.GetPageCount(); ++i) {
            const std::string title = sheet.GetTabControl()->GetItemText(i).Bytes();
            if (title.size() > suffix.size() && title.compare(title.size() - suffix.size(), suffix.size(), suffix) == 0)
                return i;
        }
        return -1;
    }

    int m_nListings = 0;
};

struct CPageState
{
    QString strMode;
    QString strKey;
    QString strRetype;
    bool bPassphrase;
    bool bEnabled;
    bool bModified;
};

CPageState StateOf(CPropertySheet& sheet, CPropPageNetwork& page)
{
    auto checked = [&page](int nID) {
        return qobject_cast<QAbstractButton*>(page.GetDlgItem(nID)->GetSafeHwnd())->isChecked();
    };
    return {qobject_cast<QComboBox*>(page.GetDlgItem(IDC_ENCRYPTION_MODE)->GetSafeHwnd())->currentText(),
            Edit(page, IDC_KEY_PASSWORD)->text(),
            Edit(page, IDC_RETYPE_PASSWORD)->text(),
            checked(IDC_PASSPHRASE),
            checked(IDC_ENABLE),
            ApplyEnabled(sheet)};
}

void ExpectSame(const CPageState& a, const CPageState& b)
{
    EXPECT_EQ(a.strMode, b.strMode);
    EXPECT_EQ(a.strKey, b.strKey);
    EXPECT_EQ(a.strRetype, b.strRetype);
    EXPECT_EQ(a.bPassphrase, b.bPassphrase);
    EXPECT_EQ(a.bEnabled, b.bEnabled);
    EXPECT_EQ(a.bModified, b.bModified);
}

} // namespace

// What NetworkManager returned in each case is in the case's name and lines: a key it keeps itself
// comes back from GetSecrets; an agent-owned one (psk-flags=1), with no agent running, comes back as
// org.freedesktop.NetworkManager.AgentManager.NoSecrets.
TEST_P(SavedKeyTest, PressingTheButtonFillsThePageAsTypedOrSaysWhyNot)
{
    const CSavedKeyCase& c = GetParam();
    CNetworkManagerSandbox sandbox;
    int nSaved = 0;
    for (const CSaved& saved : c.saved)
        sandbox.AddWifi("saved " + std::to_string(++nSaved), saved.pszSSID, saved.pszLines, saved.nLastUsed);
    START_OR_SKIP(c.bNetworkManager ? sandbox.Start() : sandbox.StartBusOnly());
    const std::string original = UseCase("network-saved-wifi");
    CModalScript script;
    RunApplication(
        m_drive,
        [&](CPropertySheet& sheet) {
            const int nPage = PageOf(sheet, c.pszSSID);
            ASSERT_GE(nPage, 0);
            ASSERT_TRUE(sheet.SetActivePage(nPage));
            auto* pPage = dynamic_cast<CPropPageNetwork*>(sheet.GetPage(nPage));
            // Home, shown first, lists; so does every other encrypted page once shown.
            const bool bLists = std::string(c.pszSSID) != "Home" && std::string(c.pszSSID) != "Garden";
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_nListings >= (bLists ? 2 : 1); }, 10000));
            if (!bLists)
                QTest::qWait(300);
            QWidget* pButton = pPage->GetDlgItem(IDC_USE_PC_PASSWORD)->GetSafeHwnd();
            EXPECT_EQ(pButton->isVisible(), c.bButton);
            if (!c.bButton)
                return PressSheetButton(sheet, IDCANCEL);

            const CPageState before = StateOf(sheet, *pPage);
            if (*c.pszBox)
                script.ThenAnswerMessageBox();
            ClickButton(pButton);
            const QString key = c.pszKey ? QString::fromUtf8(c.pszKey) : QString();
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    return !script.MessageBoxes().empty()
                        || (c.pszKey && Edit(*pPage, IDC_KEY_PASSWORD)->text() == key);
                },
                15000));
            EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is gone with the answer";
            EXPECT_TRUE(pButton->isEnabled());
            if (*c.pszBox) {
                ASSERT_EQ(script.MessageBoxes().size(), 1u);
                EXPECT_EQ(script.MessageBoxes()[0].caption, c.pszBox);
                EXPECT_TRUE(script.MessageBoxes()[0].text.contains(QString("\"%1\"").arg(c.pszSSID)))
                    << script.MessageBoxes()[0].text.toStdString();
            }
            if (!c.pszMode) {
                ExpectSame(StateOf(sheet, *pPage), before);
                return PressSheetButton(sheet, IDCANCEL);
            }
            const CPageState after = StateOf(sheet, *pPage);
            EXPECT_EQ(after.strMode, c.pszMode);
            EXPECT_EQ(after.bPassphrase, c.nKeyTypeID == IDC_PASSPHRASE);
            EXPECT_EQ(after.strRetype, key);
            EXPECT_TRUE(after.bEnabled);
            EXPECT_TRUE(after.bModified);
            EXPECT_EQ(Edit(*pPage, IDC_KEY_PASSWORD)->toolTip(), "") << "the frame takes the key";
            PressSheetButton(sheet, IDOK);
        },
        &script);
    EXPECT_EQ(script.Unexpected(), 0);
    if (!c.pszMode) {
        EXPECT_EQ(m_drive.ReadConfig(), original);
        return;
    }
    const std::string section = SectionText(m_drive.ReadConfig(), "NetworkConnectionInfo");
    // The confirmed profile is written last, so everything after its SSID is its own.
    ExpectInOrder(section,
                  {std::string("<SSID>") + c.pszSSID + "</SSID>", "<Encrypted>true</Encrypted>",
                   std::string("<EncryptionMode>") + c.pszMode + "</EncryptionMode>",
                   c.nKeyTypeID == IDC_PASSPHRASE ? "<KeyType>Passphrase</KeyType>" : "<KeyType>Hex</KeyType>",
                   "<KeyPassword>" + Scrambled(c.pszKey) + "</KeyPassword>", "<DHCP>true</DHCP>"});
}

INSTANTIATE_TEST_SUITE_P(NetworkManager, SavedKeyTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CSavedKeyCase>& info) { return info.param.pszName; });

// The button as a user meets it on the demo card: under "Show password", whole, and pushing nothing
// out of the page. DPF_SCREENSHOT_DIR keeps a picture of it (scripts/screenshots.sh).
TEST(SavedKeyButton, ShowsWholeUnderShowPasswordWithinThePageOnTheDemoCard)
{
    CNetworkManagerSandbox sandbox;
    sandbox.AddWifi("Neighbour", "Neighbour 5G", "[wifi-security]\nkey-mgmt=wpa-psk\npsk=over the fence\n");
    START_OR_SKIP(sandbox.Start());
    int nListings = 0;
    CSavedWifiConnections::SetListingObserver([&nListings] { ++nListings; });
    RunDemoApplication([&](CPropertySheet& sheet) {
        int nPage = -1;
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            nPage = sheet.GetTabControl()->GetItemText(i) == "Available Networks::Neighbour 5G" ? i : nPage;
        ASSERT_TRUE(sheet.SetActivePage(nPage));
        ASSERT_TRUE(QTest::qWaitFor([&] { return nListings >= 2; }, 10000));
        QWidget* pPage = sheet.GetActivePage()->GetSafeHwnd();
        auto rectOf = [&sheet, pPage](int nID) {
            QWidget* pControl = sheet.GetActivePage()->GetDlgItem(nID)->GetSafeHwnd();
            return QRect(pControl->mapTo(pPage, QPoint(0, 0)), pControl->size());
        };
        QWidget* pButton = sheet.GetActivePage()->GetDlgItem(IDC_USE_PC_PASSWORD)->GetSafeHwnd();
        ASSERT_TRUE(pButton->isVisible());
        QApplication::processEvents();
        const QRect button = rectOf(IDC_USE_PC_PASSWORD);
        const QRect show = rectOf(IDC_SHOW_PASSWORD);
        EXPECT_GE(button.top(), show.bottom()) << "under Show password";
        EXPECT_EQ(button.left(), show.left()) << "in the column of the key boxes";
        EXPECT_GE(pButton->width(), pButton->sizeHint().width()) << "its text is whole";
        EXPECT_LT(button.bottom(), rectOf(IDC_DHCP).top()) << "above the addresses";
        EXPECT_LE(rectOf(IDC_NAME_SERVER_IP).bottom(), pPage->height()) << "the page still holds its last box";
        // Where the screen has room, the window grew to show the page whole.
        auto* pArea = sheet.GetSafeHwnd()->findChild<QScrollArea*>();
        ASSERT_NE(pArea, nullptr);
        QApplication::processEvents();
        if (pPage->devicePixelRatioF() == 1) {
            EXPECT_GE(pArea->viewport()->height(), pArea->widget()->minimumHeight());
            EXPECT_FALSE(pArea->verticalScrollBar()->isVisible());
        }
        SaveScreenshot(sheet.GetSafeHwnd(), "page-available-networks-neighbour-5g-use-this-pcs-password");
        // At the window's least size the page measured without the button must not be squeezed to take
        // it: the pages' area scrolls instead.
        sheet.GetSafeHwnd()->resize(sheet.GetSafeHwnd()->minimumSize());
        QApplication::processEvents();
        EXPECT_GE(pPage->height(), pPage->minimumSizeHint().height());
        PressSheetButton(sheet, IDCANCEL);
    });
    CSavedWifiConnections::SetListingObserver(nullptr);
}
