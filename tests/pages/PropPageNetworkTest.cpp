// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageNetwork.h"

#include "PageTestSupport.h"
#include "documents/ConfigDocument.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>
#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

class NetworkPageTest : public CPageTest
{
protected:
    static QWidget* Control(CPropertyPage* pPage, int nID) { return pPage->GetDlgItem(nID)->GetSafeHwnd(); }
    static QComboBox* Combo(CPropertyPage* pPage, int nID) { return qobject_cast<QComboBox*>(Control(pPage, nID)); }
    static bool Checked(CPropertyPage* pPage, int nID)
    {
        return qobject_cast<QAbstractButton*>(Control(pPage, nID))->isChecked();
    }
    static bool Enabled(CPropertyPage* pPage, int nID) { return Control(pPage, nID)->isEnabled(); }
    static CPropPageNetwork* Page(CPropertySheet& sheet, int nIndex)
    {
        return dynamic_cast<CPropPageNetwork*>(sheet.GetPage(nIndex));
    }
};

} // namespace

// The first profile has blanks around its DHCP flag and inside its scrambled key, where a hand-edited
// file has them; the second a key type that is "passphrase" in lower case.
TEST_F(NetworkPageTest, StoredProfileIsShownAsStoredBlanksIgnoredAndAnyKeyTypeButPassphraseChecksHexKey)
{
    UseCase("network-stored-profiles");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_TRUE(Checked(pPage, IDC_ENABLE));
        EXPECT_EQ(Edit(*pPage, IDC_SSID)->text(), "Home");
        EXPECT_FALSE(Enabled(pPage, IDC_SSID)) << "a stored profile's name is fixed";
        EXPECT_EQ(Combo(pPage, IDC_ENCRYPTION_MODE)->currentText(), "WPA2");
        EXPECT_EQ(Edit(*pPage, IDC_KEY_PASSWORD)->text(), "sesame");
        EXPECT_EQ(Edit(*pPage, IDC_RETYPE_PASSWORD)->text(), "sesame");
        EXPECT_TRUE(Checked(pPage, IDC_PASSPHRASE));
        EXPECT_TRUE(Checked(pPage, IDC_DHCP));
        EXPECT_FALSE(Enabled(pPage, IDC_DEVICE_IP));
        EXPECT_FALSE(ApplyEnabled(sheet));
        Choose(*pPage, IDC_ENCRYPTION_MODE, "WPA1");
        EXPECT_TRUE(ApplyEnabled(sheet)) << "choosing another mode is an edit";
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_TRUE(Checked(Page(sheet, 1), IDC_HEX_KEY)) << "the key type is compared exactly";
        static_cast<QDialog*>(sheet.GetSafeHwnd())->done(IDCANCEL);
    });
}

// Stored profiles whose Encrypted is "false", blanks, "TRUE" and missing beside a stored key, and a
// scanned network without one. Every page is changed, so every profile is written again; any message
// box would fail the test.
TEST_F(NetworkPageTest, OnlyAFalseOrAnEmptyEncryptedWithoutAKeyIsOpenForTheKeyBoxesTheChecksAndTheWriter)
{
    UseCase("network-encrypted-flags");
    // The fourth profile lost its Encrypted flag but keeps its mode and key: it is encrypted, and it
    // keeps both when the user only makes it the default.
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        for (int i : {0, 1, 2, 3, 4}) {
            ASSERT_TRUE(sheet.SetActivePage(i));
            CPropPageNetwork* pPage = Page(sheet, i);
            for (int nID : {IDC_ENCRYPTION_MODE, IDC_PASSPHRASE, IDC_HEX_KEY, IDC_KEY_PASSWORD, IDC_RETYPE_PASSWORD})
                EXPECT_EQ(Enabled(pPage, nID), i == 2 || i == 3) << i << " " << nID;
            if (i < 2) {
                EXPECT_EQ(Combo(pPage, IDC_ENCRYPTION_MODE)->currentText()
                              + Combo(pPage, IDC_ENCRYPTION_MODE)->placeholderText(),
                          "None")
                    << i;
            }
            if (i < 4)
                ClickCheck(Control(pPage, IDC_DEFAULT));
        }
        EXPECT_EQ(Combo(Page(sheet, 3), IDC_ENCRYPTION_MODE)->currentText(), "WPA2");
        ClickCheck(Control(Page(sheet, 4), IDC_ENABLE));
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
}

// On a card without a network section, the first confirmed networks create it with the device name
// and the count, after the sections that were there.
TEST_F(NetworkPageTest, AvailableNetworksStartDisabledAndOnceEnabledAreWrittenWholeInANewSection)
{
    UseCase("network-available");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        for (int i : {1, 0}) {
            ASSERT_TRUE(sheet.SetActivePage(i));
            CPropPageNetwork* pPage = Page(sheet, i);
            EXPECT_FALSE(Checked(pPage, IDC_ENABLE));
            EXPECT_FALSE(Enabled(pPage, IDC_DEFAULT));
            EXPECT_EQ(Combo(pPage, IDC_ENCRYPTION_MODE)->currentText(), "Select Encryption");
            EXPECT_TRUE(Checked(pPage, IDC_DHCP));
            EXPECT_EQ(Enabled(pPage, IDC_KEY_PASSWORD), i == 0) << "only an encrypted network takes a key";
            ClickCheck(Control(pPage, IDC_ENABLE));
            EXPECT_TRUE(Enabled(pPage, IDC_DEFAULT));
        }
        Choose(*Page(sheet, 0), IDC_ENCRYPTION_MODE, "WPA2");
        TypeInto(*Page(sheet, 0), IDC_KEY_PASSWORD, "Latte Art 42");
        TypeInto(*Page(sheet, 0), IDC_RETYPE_PASSWORD, "Latte Art 42");
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
}

// A mode, a key type, a key, an address mode or an address set on an available network says the user
// wants it: Enable is checked, and the typed key is stored with the profile, not dropped.
TEST_F(NetworkPageTest, EachProfileEditOnAnAvailableNetworkChecksEnable)
{
    UseCase("network-available-locked");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        const std::vector<std::pair<const char*, std::function<void()>>> inputs = {
            {"mode", [&] { Choose(*pPage, IDC_ENCRYPTION_MODE, "WPA2"); }},
            {"key type", [&] { ClickCheck(Control(pPage, IDC_HEX_KEY)); }},
            {"key type", [&] { ClickCheck(Control(pPage, IDC_PASSPHRASE)); }},
            {"address mode", [&] { ClickCheck(Control(pPage, IDC_STATIC_IP)); }},
            {"address", [&] { TypeInto(*pPage, IDC_NET_MASK, "255.255.255.0"); }},
            {"address mode", [&] { ClickCheck(Control(pPage, IDC_DHCP)); }},
            {"key", [&] { TypeInto(*pPage, IDC_KEY_PASSWORD, "Latte Art"); }},
        };
        for (const auto& input : inputs) {
            if (Checked(pPage, IDC_ENABLE))
                ClickCheck(Control(pPage, IDC_ENABLE));
            input.second();
            EXPECT_TRUE(Checked(pPage, IDC_ENABLE)) << input.first;
        }
        TypeInto(*pPage, IDC_RETYPE_PASSWORD, "Latte Art");
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
}

TEST_F(NetworkPageTest, ClearedEnableBoxWritesNothing)
{
    const std::string original = UseCase("network-cleared-enable");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_TRUE(Checked(pPage, IDC_DEFAULT));
        ClickCheck(Control(pPage, IDC_ENABLE));
        EXPECT_FALSE(Checked(pPage, IDC_DEFAULT)) << "a disabled profile is nobody's default";
        EXPECT_FALSE(Enabled(pPage, IDC_DEFAULT));
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(m_drive.ReadConfig(), original);
}

// The second profile switches from DHCP to static with four empty boxes.
TEST_F(NetworkPageTest, StaticProfileKeepsItsAddressesWhenConfirmedUnchangedAndStoresEmptyBoxesAsEmpty)
{
    UseCase("network-static");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_TRUE(Checked(pPage, IDC_STATIC_IP));
        EXPECT_EQ(Edit(*pPage, IDC_DEVICE_IP)->text(), "10.0.0.5");
        EXPECT_TRUE(Enabled(pPage, IDC_NAME_SERVER_IP));
        ASSERT_TRUE(sheet.SetActivePage(1));
        ClickCheck(Control(Page(sheet, 1), IDC_STATIC_IP));
        EXPECT_TRUE(Enabled(Page(sheet, 1), IDC_DEVICE_IP));
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
}

// A, B and C are all marked Default, and the count leaves C without a page: its stored mark must be
// cleared all the same, when the scanned network is made the default.
TEST_F(NetworkPageTest, CheckingDefaultClearsEveryOtherMarkShownNeverShownAndAvailable)
{
    UseCase("network-defaults");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(2));
        CPropPageNetwork* pNew = Page(sheet, 2);
        ClickCheck(Control(pNew, IDC_ENABLE));
        // As a screen reader checks it: the other marks go as they do for a click.
        ToggleAccessibly(Control(pNew, IDC_DEFAULT));
        EXPECT_EQ(Page(sheet, 0)->m_bDefault, 0) << "a shown page loses its mark at once";
        EXPECT_EQ(Page(sheet, 1)->m_bDefault, 0) << "a never-shown page has its stored mark cleared";
        // B was never shown: its stored Default is now "false", where it stood.
        const TiXmlElement* pB = CPropPageNetwork::FindAccessPoint(
            theConfigElement->FirstChildElement("NetworkConnectionInfo"), "B");
        EXPECT_STREQ(pB->FirstChild()->Value(), "Default");
        EXPECT_EQ(GetChildText(pB, "Default"), "false");
        ASSERT_TRUE(sheet.SetActivePage(0));
        EXPECT_FALSE(Checked(Page(sheet, 0), IDC_DEFAULT)) << "showing A again shows its cleared box";
        ClickCheck(Control(Page(sheet, 0), IDC_DEFAULT));
        EXPECT_EQ(pNew->m_bDefault, 0) << "checking A's Default in turn clears the scanned network's";
        ASSERT_TRUE(sheet.SetActivePage(2));
        ClickCheck(Control(pNew, IDC_DEFAULT));
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
}

// A 200-character SSID, one in Latin-1 bytes and a stored one called "Available Networks Lounge".
TEST_F(NetworkPageTest, LongNonUtf8AndLookalikeSsidsRoundTripAndReplaceTheirOwnProfile)
{
    UseCase("network-odd-ssids");
    RunApplication(m_drive, [&](CPropertySheet& sheet) {
        EXPECT_EQ(Edit(*Page(sheet, 0), IDC_SSID)->text().size(), 200);
        ASSERT_TRUE(sheet.SetActivePage(1));
        ASSERT_TRUE(sheet.SetActivePage(2));
        EXPECT_TRUE(Checked(Page(sheet, 2), IDC_ENABLE)) << "a stored profile whatever its name says";
        EXPECT_FALSE(Enabled(Page(sheet, 2), IDC_SSID));
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
}

// Each folder network-count-* holds a section whose count is empty, wrong or missing; confirmed with
// only its first page shown and changed (Default checked and cleared again), the count is put right,
// and only that page's profile is written again, last.
TEST_F(NetworkPageTest, CountIsRecountedAndPlacedWhereTheSectionHasRoomAndAConfirmedProfileMovesToTheEnd)
{
    const QStringList cases = QDir(QString::fromStdString(CaseFolder(""))).entryList({"network-count-*"}, QDir::Dirs);
    ASSERT_GE(cases.size(), 5);
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        UseCase(name.toStdString());
        RunApplication(m_drive, [](CPropertySheet& sheet) {
            ClickCheck(Control(Page(sheet, 0), IDC_DEFAULT));
            ClickCheck(Control(Page(sheet, 0), IDC_DEFAULT));
            PressSheetButton(sheet, IDOK);
        });
        ExpectWritten();
    }
}

// The first profile has no Link at all; the second is a whole one, with a different Default.
TEST_F(NetworkPageTest, ProfileWithoutLinkLoadsEmptyAndNeverShowsAnotherProfile)
{
    UseCase("network-profile-without-link");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_EQ(Edit(*pPage, IDC_SSID)->text(), "");
        EXPECT_TRUE(Checked(pPage, IDC_DEFAULT));
        EXPECT_TRUE(Checked(pPage, IDC_HEX_KEY)) << "a missing key type reads as empty";
        EXPECT_TRUE(Checked(pPage, IDC_STATIC_IP)) << "a missing DHCP reads as empty";
        PressSheetButton(sheet, IDCANCEL);
    });
}
