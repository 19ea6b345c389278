// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PageChecks.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"
#include "res/Resource.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>

#include <gtest/gtest.h>

#include <array>

namespace {

// Each rule, asked for a field of that name, with values it must take and values it must refuse.
struct RuleTable
{
    const char* pszField;
    std::function<CString(const CString&, const char*)> problem;
    std::vector<std::string> good, bad;
};

auto Key(const char* pszMode, bool bHex)
{
    return [=](const CString& s, const char*) { return WifiKeyProblem(s, pszMode, bHex); };
}

TEST(ValueRules, TakeGoodValuesAndRefuseBadOnesNamingTheField)
{
    const std::string s63(63, 'a'), s64(64, 'a'), s127(127, 'a');
    const std::vector<RuleTable> rules = {
        {"Device IP",
         IPAddressProblem,
         {"192.168.1.20", "0.0.0.0", "255.255.255.255"},
         {"192.168.1.256", "192.168.1", "1.2.3.4.5", "1..3.4", " 1.2.3.4", "1.2.3.-4", "0001.2.3.4", ""}},
        {"Net Mask",
         NetMaskProblem,
         {"255.255.255.0", "255.255.252.0", "255.255.255.255"},
         {"255.0.255.0", "255.255.255.1", "0.0.0.0", "255.255.0"}},
        {"password", PasswordLengthProblem, {"", s127, s63 + "\xC3\xA9"}, {s127 + "x", std::string(130, '*')}},
        {"Port", PortProblem, {"25", "1", "65535"}, {"0", "65536", "99999999999999999999", "-25", "2 5", ""}},
        {"Frame Address",
         EmailAddressProblem,
         {"frame@example.com", "a.b+c@mail.example.co.uk"},
         {"@example.com", "frame@example", "a@b@example.com", "frame @example.com", "frame@.com", "frame@example.",
          "frame@example..com", "frame.example.com"}},
        {"URL",
         FeedURLProblem,
         {"http://example.com/rss", "https://example.com", "HTTP://example.org/a.rss", "Https://example.org"},
         {"ftp://example.com", "example.com", "https://", "https://example.com/a b", "HTTPS//example.com"}},
        {"name of the Outgoing Mail server",
         HostNameProblem,
         {"smtp", "mail.familie-berg.de", "xn--bcher-kva.example", "192.168.1.2", std::string(63, 'a') + ".de"},
         {"mail familie-berg.de", "mail.example.com.", ".example.com", "mail..example.com", "-mail.example.com",
          "mail-.example.com", "mail_1.example.com",
          "b\xC3\xBC"
          "cher.example",
          std::string(64, 'a') + ".de",
          std::string(63, 'a') + "." + std::string(63, 'a') + "." + std::string(63, 'a') + "." + std::string(63, 'a')}},
        {"Key Password", Key("WEP64", false), {"abcde", "a b~!"}, {"abcdef", "abcd"}},
        {"Key Password", Key("WEP64", true), {"0123456789", "abcdefABCD"}, {"012345678g", "01234"}},
        {"Key Password", Key("WEP128", false), {"thirteen char"}, {"abcde"}},
        {"Key Password", Key("WEP128", true), {std::string(26, 'F')}, {std::string(10, 'F')}},
        {"Key Password",
         Key("WPA2", false),
         {"8 chars!", s63, "p\xC3\xA4ssw\xC3\xB6rt99", "caf\xC3\xA9 au lait"},
         {"7 chars", s64, std::string(62, 'a') + "\xC3\xA9", "del\x7F char", "tab\tchar"}},
        {"Key Password", Key("WPA1", true), {s64}, {s63, s63 + "x"}},
        {"", Key("None", false), {"x"}, {}}};
    for (const RuleTable& rule : rules) {
        for (const std::string& value : rule.good)
            EXPECT_EQ(rule.problem(value, rule.pszField), "") << rule.pszField << " \"" << value << "\"";
        for (const std::string& value : rule.bad) {
            const std::string problem = rule.problem(value, rule.pszField).Bytes();
            EXPECT_NE(problem.find(rule.pszField), std::string::npos) << rule.pszField << " \"" << value << "\"";
        }
    }
    // 0.0.0.0 keeps the rule of ones before zeros; it is refused for a reason of its own.
    EXPECT_NE(NetMaskProblem("0.0.0.0", "Net Mask").Find("cannot be 0.0.0.0"), -1);
}

// A static WPA2 profile as a frame may well be running it: a key too short and a mask that is none.
std::string ConfigWithBadStoredValues()
{
    return "<RootInfo><Configuration><NetworkConnectionInfo><DeviceName>d</DeviceName><NumAccessPoint>1"
           "</NumAccessPoint><AccessPoint><Default>false</Default><Link><SSID>Home</SSID><OperationMode>Managed"
           "</OperationMode><Encrypted>true</Encrypted><EncryptionMode>WPA2</EncryptionMode><Key><KeyType>Passphrase"
           "</KeyType><KeyPassword>"
        + Scrambled("short")
        + "</KeyPassword></Key></Link>"
          "<IPConfiguration><STATIC><DeviceIP>10.0.0.5</DeviceIP><NetMask>255.0.255.0</NetMask><GatewayIP>10.0.0.1"
          "</GatewayIP><NameServerIP></NameServerIP></STATIC></IPConfiguration></AccessPoint></NetworkConnectionInfo>"
          "<LocalNetSharing><SMB><SmbEnabled>true</SmbEnabled></SMB></LocalNetSharing></Configuration></RootInfo>";
}

// A field marked as refused has a red frame along its edge.
bool ShowsRedFrame(QWidget* pField)
{
    const QImage image = pField->grab().toImage();
    const QColor edge = image.pixelColor(image.width() / 2, 0);
    return edge.red() > 150 && edge.green() < 80 && edge.blue() < 80;
}

// Where each of the page's named controls stands, and how large it is.
std::string Geometries(QWidget* pPage)
{
    QApplication::processEvents();
    QStringList geometries;
    for (QWidget* pWidget : pPage->findChildren<QWidget*>()) {
        const QRect r = pWidget->geometry();
        if (pWidget->isVisible() && !pWidget->objectName().isEmpty())
            geometries << QString("%1 %2,%3 %4x%5")
                              .arg(pWidget->objectName())
                              .arg(r.x())
                              .arg(r.y())
                              .arg(r.width())
                              .arg(r.height());
    }
    return geometries.join('\n').toStdString();
}

} // namespace

TEST(ValueChecks, StoredBadValuesAreFlaggedNotRefusedWhileChangedOnesAreRefusedUntilMended)
{
    CScratchDrive drive;
    const std::string original = ConfigWithBadStoredValues();
    drive.WriteConfig(original);
    CModalScript script;
    RunApplication(
        drive,
        [&](CPropertySheet& sheet) {
            CPropertyPage* pPage = sheet.GetPage(0);
            EXPECT_TRUE(Edit(*pPage, IDC_NET_MASK)->toolTip().contains("Net Mask"));
            EXPECT_TRUE(Edit(*pPage, IDC_KEY_PASSWORD)->toolTip().contains("WPA2"));
            // Another mode changes what the stored key must be, as retyping it would.
            Choose(*pPage, IDC_ENCRYPTION_MODE, "WEP128");
            script.ThenAnswerMessageBox();
            PressSheetButton(sheet, IDOK);
            Choose(*pPage, IDC_ENCRYPTION_MODE, "WPA2");
            // A refused value is marked without moving anything on the page.
            const std::string layout = Geometries(pPage->GetSafeHwnd());
            EXPECT_FALSE(ShowsRedFrame(Edit(*pPage, IDC_DEVICE_IP)));
            Edit(*pPage, IDC_DEVICE_IP)->selectAll();
            TypeText(Edit(*pPage, IDC_DEVICE_IP), "10.0.0.300");
            EXPECT_TRUE(ShowsRedFrame(Edit(*pPage, IDC_DEVICE_IP)));
            SaveScreenshot(sheet.GetSafeHwnd(), "refused-device-ip");
            EXPECT_EQ(Geometries(pPage->GetSafeHwnd()), layout);
            script.ThenAnswerMessageBox();
            PressSheetButton(sheet, IDOK);
            EXPECT_EQ(drive.ReadConfig(), original);
            QTest::keyClick(Edit(*pPage, IDC_DEVICE_IP), Qt::Key_Backspace);
            EXPECT_TRUE(Edit(*pPage, IDC_DEVICE_IP)->toolTip().isEmpty());
            EXPECT_FALSE(ShowsRedFrame(Edit(*pPage, IDC_DEVICE_IP)));
            EXPECT_EQ(Geometries(pPage->GetSafeHwnd()), layout);
            PressSheetButton(sheet, IDOK);
        },
        &script);
    ASSERT_EQ(script.MessageBoxes().size(), 2u);
    EXPECT_TRUE(script.MessageBoxes()[0].text.startsWith("For WEP128 with Passphrase, the Key Password must be"));
    EXPECT_TRUE(script.MessageBoxes()[1].text.startsWith("The Device IP must be four numbers"));
    EXPECT_EQ(script.MessageBoxes()[1].caption + script.MessageBoxes()[0].caption, "ErrorError");
    const std::string saved = drive.ReadConfig();
    EXPECT_NE(saved.find("<DeviceIP>10.0.0.30</DeviceIP>"), std::string::npos);
    EXPECT_NE(saved.find("<NetMask>255.0.255.0</NetMask>"), std::string::npos) << "an untouched stored value stays";
}

TEST(ValueChecks, AddKeepsItsWindowOpenOnABadAddressAndSaysWhy)
{
    CScratchDrive drive;
    LoadDrive(drive, ConfigWithBadStoredValues());
    CPropPageAddressBook page;
    CModalScript script;
    QWidget* pEntryWindow = nullptr;
    RunSheet(
        {&page},
        [&](CPropertySheet& sheet) {
            script.Then([&](QDialog* pDialog) {
                pEntryWindow = pDialog;
                QLineEdit* pAddress = pDialog->findChild<QLineEdit*>();
                TypeText(pAddress, "mia@example");
                EXPECT_TRUE(pAddress->toolTip().contains("Address"));
                script.ThenAnswerMessageBox();
                QTest::keyClick(pAddress, Qt::Key_Return);
                EXPECT_TRUE(pDialog->isVisible());
                TypeText(pAddress, ".com");
                QTest::keyClick(pAddress, Qt::Key_Return);
            });
            ClickButton(page.GetDlgItem(IDC_ADD_APPROVED)->GetSafeHwnd());
            ASSERT_EQ(page.m_lstApproved.GetItemCount(), 1);
            EXPECT_EQ(page.m_lstApproved.CListCtrl::GetItemText(0, 0), "mia@example.com");
            script.ThenDiscardChanges();
            PressSheetButton(sheet, IDCANCEL);
        },
        &script);
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_TRUE(script.MessageBoxes()[0].text.startsWith("The Address must be an e-mail address"));
    EXPECT_EQ(script.MessageBoxes()[0].owner, pEntryWindow);
}

TEST(ValueChecks, ShowPasswordShowsBothBoxesWhileCheckedAndIsClearedWhenThePageIsShownAgain)
{
    // The pages of the whole window: the network, Email, Address Book, Internet and PC Sharing.
    const std::vector<std::array<int, 4>> cases = {
        {0, IDC_SHOW_PASSWORD, IDC_KEY_PASSWORD, IDC_RETYPE_PASSWORD},
        {1, IDC_SHOW_PASSWORD, IDC_SMTP_PASSWORD, IDC_SMTP_RETYPE_PASSWORD},
        {1, IDC_SHOW_POP_PASSWORD, IDC_POP_PASSWORD, IDC_POP_RETYPE_PASSWORD},
        {3, IDC_SHOW_PASSWORD, IDC_FC_PASSWORD, IDC_FC_RETYPE_PASSWORD},
        {4, IDC_SHOW_PASSWORD, IDC_SMB_PASSWORD, IDC_SMB_RETYPE_PASSWORD}};
    CScratchDrive drive;
    drive.WriteConfig(ConfigWithBadStoredValues());
    RunApplication(drive, [&](CPropertySheet& sheet) {
        for (const auto& c : cases) {
            ASSERT_TRUE(sheet.SetActivePage(c[0]));
            CPropertyPage* pPage = sheet.GetPage(c[0]);
            auto* pCheck = qobject_cast<QCheckBox*>(pPage->GetDlgItem(c[1])->GetSafeHwnd());
            const auto echo = [&] {
                return std::make_pair(Edit(*pPage, c[2])->echoMode(), Edit(*pPage, c[3])->echoMode());
            };
            ASSERT_EQ(pCheck->text(), "Show password");
            // Clicked, or toggled as a screen reader does: the same.
            for (const auto toggle : {&ClickCheck, &ToggleAccessibly}) {
                toggle(pCheck);
                EXPECT_EQ(echo(), std::make_pair(QLineEdit::Normal, QLineEdit::Normal)) << c[2];
                ASSERT_TRUE(sheet.SetActivePage(2));
                ASSERT_TRUE(sheet.SetActivePage(c[0]));
                EXPECT_FALSE(pCheck->isChecked()) << c[2];
                EXPECT_EQ(echo(), std::make_pair(QLineEdit::Password, QLineEdit::Password)) << c[2];
            }
        }
        PressSheetButton(sheet, IDCANCEL);
    });
}

TEST(ValueChecks, EmailPageRefusesATypedAddressOrPortNamingIt)
{
    CScratchDrive drive;
    for (const auto& typed : std::vector<std::pair<int, const char*>>{
             {IDC_EMAIL_ADDRESS, "Frame Address"}, {IDC_SMTP_PORT, "Outgoing Mail"}, {IDC_POP_PORT, "Incoming Mail"}}) {
        LoadDrive(drive, "<RootInfo><Configuration/></RootInfo>");
        CPropPageEmail page;
        const QString text = ConfirmExpectingRefusal(
            page, [&](CPropertySheet&) { TypeText(Edit(page, typed.first), "x y"); });
        EXPECT_TRUE(text.contains(typed.second)) << text.toStdString();
    }
}

// Passwords the frame could not read and a server name with a blank, stored long ago: nobody has to
// retype them to press OK. Every
// page is shown and checked; each long password is flagged, none refused, and the PC Sharing page,
// switched on and off again, writes its long password back whole.
TEST(ValueChecks, LongStoredPasswordsAndServerNamesAreFlaggedAndPassWhileSharingOffChecksNothing)
{
    const std::string strLong(130, 'p');
    const std::string scrambled = Scrambled(strLong.c_str());
    CScratchDrive drive;
    drive.WriteConfig(ConfigFile(
        "<NetworkConnectionInfo><DeviceName>d</DeviceName><NumAccessPoint>1</NumAccessPoint><AccessPoint><Link>"
        "<SSID>Home</SSID><Encrypted>true</Encrypted><EncryptionMode>WPA3</EncryptionMode><Key><KeyType>Passphrase"
        "</KeyType><KeyPassword>"
        + scrambled
        + "</KeyPassword></Key></Link><IPConfiguration><DHCP>true</DHCP></IPConfiguration></AccessPoint>"
          "</NetworkConnectionInfo><Email><SMTPServer><SMTPServerName>smtp mail</SMTPServerName><SMTPUserName>me"
          "</SMTPUserName><SMTPPassword>"
        + scrambled
        + "</SMTPPassword></SMTPServer></Email><RSSandFrameChannel><FrameChannel><FCUsername>me</FCUsername>"
          "<FCPassword>"
        + scrambled
        + "</FCPassword></FrameChannel></RSSandFrameChannel><LocalNetSharing><SMB><SmbEnabled>false</SmbEnabled>"
          "<SmbPassword>"
        + scrambled + "</SmbPassword></SMB></LocalNetSharing>"));
    const std::vector<std::pair<int, int>> passwords = {
        {0, IDC_KEY_PASSWORD}, {1, IDC_SMTP_PASSWORD}, {3, IDC_FC_PASSWORD}};
    CModalScript script;
    RunApplication(
        drive,
        [&](CPropertySheet& sheet) {
            for (const auto& [nPage, nID] : passwords) {
                ASSERT_TRUE(sheet.SetActivePage(nPage));
                EXPECT_TRUE(Edit(*sheet.GetPage(nPage), nID)->toolTip().contains("too long")) << nID;
            }
            EXPECT_TRUE(Edit(*sheet.GetPage(1), IDC_SMTP_SERVER_NAME)->toolTip().contains("host name"));
            ASSERT_TRUE(sheet.SetActivePage(4));
            QWidget* pSharing = sheet.GetPage(4)->GetDlgItem(IDC_ENABLE_SHARING)->GetSafeHwnd();
            ClickCheck(pSharing);
            ClickCheck(pSharing);
            PressSheetButton(sheet, IDOK);
        },
        &script);
    EXPECT_TRUE(script.MessageBoxes().empty());
    const std::string saved = drive.ReadConfig();
    EXPECT_NE(SectionText(saved, "LocalNetSharing").find("<SmbPassword>" + scrambled + "</SmbPassword>"),
              std::string::npos);
    EXPECT_NE(saved.find("<SmbWorkgroup></SmbWorkgroup>"), std::string::npos) << "the section was written";
}
