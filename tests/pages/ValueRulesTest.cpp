#include "pages/PageChecks.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"

#include "TestSupport.h"
#include "app/ScrambledText.h"
#include "platform/PropertySheet.h"
#include "res/Resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A rule with the field it is asked for; a refusal must name that field.
struct Rule
{
    const char* pszField;
    std::function<CString(const CString&)> problem;
};
struct RuleCase
{
    Rule rule;
    std::string value;
    bool bGood;
};

const Rule IP{"Device IP", [](const CString& s) { return IPAddressProblem(s, "Device IP"); }};
const Rule Mask{"Net Mask", [](const CString& s) { return NetMaskProblem(s, "Net Mask"); }};
const Rule Port{"Outgoing Port", [](const CString& s) { return PortProblem(s, "Outgoing Port"); }};
const Rule Mail{"Frame Address", [](const CString& s) { return EmailAddressProblem(s, "Frame Address"); }};
const Rule URL{"URL", [](const CString& s) { return FeedURLProblem(s, "URL"); }};
Rule Key(const char* pszMode, bool bHex)
{
    return {"Key Password", [=](const CString& s) { return WifiKeyProblem(s, pszMode, bHex); }};
}

class ValueRule : public ::testing::TestWithParam<RuleCase>
{
};

INSTANTIATE_TEST_SUITE_P(Table, ValueRule, ::testing::ValuesIn(std::vector<RuleCase>{
    {IP, "192.168.1.20", true}, {IP, "0.0.0.0", true}, {IP, "255.255.255.255", true},
    {IP, "192.168.1.256", false}, {IP, "192.168.1", false}, {IP, "1.2.3.4.5", false},
    {IP, "1..3.4", false}, {IP, " 1.2.3.4", false}, {IP, "1.2.3.-4", false}, {IP, "0001.2.3.4", false},
    {Mask, "255.255.255.0", true}, {Mask, "255.255.252.0", true}, {Mask, "255.255.255.255", true},
    {Mask, "255.0.255.0", false}, {Mask, "255.255.255.1", false}, {Mask, "0.0.0.0", false},
    {Mask, "255.255.0", false},
    {Port, "25", true}, {Port, "1", true}, {Port, "65535", true}, {Port, "0", false},
    {Port, "65536", false}, {Port, "99999999999999999999", false}, {Port, "-25", false},
    {Port, "2 5", false}, {Port, "", false},
    {Mail, "frame@example.com", true}, {Mail, "a.b+c@mail.example.co.uk", true},
    {Mail, "@example.com", false}, {Mail, "frame@example", false}, {Mail, "a@b@example.com", false},
    {Mail, "frame @example.com", false}, {Mail, "frame@.com", false}, {Mail, "frame@example.", false},
    {Mail, "frame@example..com", false}, {Mail, "frame.example.com", false},
    {URL, "http://example.com/rss", true}, {URL, "https://example.com", true},
    {URL, "ftp://example.com", false}, {URL, "example.com", false}, {URL, "https://", false},
    {URL, "https://example.com/a b", false}, {URL, "HTTPS//example.com", false},
    {Key("WEP64", false), "abcde", true}, {Key("WEP64", false), "abcdef", false},
    {Key("WEP64", true), "0123456789", true}, {Key("WEP64", true), "012345678g", false},
    {Key("WEP128", false), "thirteen char", true}, {Key("WEP128", true), std::string(26, 'F'), true},
    {Key("WEP128", true), std::string(10, 'F'), false},
    {Key("WPA2", false), "8 chars!", true}, {Key("WPA1", false), std::string(63, '~'), true},
    {Key("WPA2", false), "7 chars", false}, {Key("WPA2", false), std::string(64, 'a'), false},
    {Key("WPA2", false), "caf\xC3\xA9 au lait", false}, {Key("WPA1", true), std::string(64, 'a'), true},
    {Key("WPA2", true), std::string(63, 'a'), false}, {Key("WPA2", true), std::string(63, 'a') + "x", false},
    {Key("None", false), "x", true},
}));

TEST_P(ValueRule, AcceptsGoodValuesAndNamesTheFieldOfBadOnes)
{
    const RuleCase& c = GetParam();
    const std::string problem = c.rule.problem(c.value).Bytes();
    EXPECT_EQ(problem.empty(), c.bGood) << c.rule.pszField << " \"" << c.value << "\": " << problem;
    if (!c.bGood) {
        EXPECT_NE(problem.find(c.rule.pszField), std::string::npos) << problem;
    }
}

QLineEdit* Edit(CWnd* pWindow, int nID)
{
    return qobject_cast<QLineEdit*>(pWindow->GetDlgItem(nID)->GetSafeHwnd());
}

void Retype(QLineEdit* pEdit, const QString& text)
{
    pEdit->selectAll();
    QTest::keyClick(pEdit, Qt::Key_Delete);
    TypeText(pEdit, text);
}

// A static WPA2 profile as a frame may well be running it: a key too short and a mask that is none.
std::string ConfigWithBadStoredValues()
{
    return "<RootInfo><Configuration><NetworkConnectionInfo><DeviceName>d</DeviceName><NumAccessPoint>1"
           "</NumAccessPoint><AccessPoint><Default>false</Default><Link><SSID>Home</SSID><OperationMode>Managed"
           "</OperationMode><Encrypted>true</Encrypted><EncryptionMode>WPA2</EncryptionMode><Key><KeyType>Passphrase"
           "</KeyType><KeyPassword>" + ScrambleText("short", CONFIG_KEY_TEXT).Bytes() + "</KeyPassword></Key></Link>"
           "<IPConfiguration><STATIC><DeviceIP>10.0.0.5</DeviceIP><NetMask>255.0.255.0</NetMask><GatewayIP>10.0.0.1"
           "</GatewayIP><NameServerIP></NameServerIP></STATIC></IPConfiguration></AccessPoint></NetworkConnectionInfo>"
           "<LocalNetSharing><SMB><SmbEnabled>true</SmbEnabled></SMB></LocalNetSharing></Configuration></RootInfo>";
}

} // namespace

TEST(ValueChecks, StoredBadValuesAreFlaggedNotRefusedWhileChangedOnesAreRefusedUntilMended)
{
    CScratchDrive drive;
    const std::string original = ConfigWithBadStoredValues();
    drive.WriteConfig(original);
    CModalScript script;
    RunApplication(drive, [&](CPropertySheet& sheet) {
        CPropertyPage* pPage = sheet.GetPage(0);
        EXPECT_TRUE(Edit(pPage, IDC_NET_MASK)->toolTip().contains("Net Mask"));
        EXPECT_TRUE(Edit(pPage, IDC_KEY_PASSWORD)->toolTip().contains("WPA2"));
        EXPECT_TRUE(Edit(pPage, IDC_DEVICE_IP)->toolTip().isEmpty());
        // Another mode changes what the stored key must be, as retyping it would.
        auto* pMode = qobject_cast<QComboBox*>(pPage->GetDlgItem(IDC_ENCRYPTION_MODE)->GetSafeHwnd());
        pMode->setFocus();
        for (int i = 0; i < 5 && pMode->currentText() != "WEP128"; ++i)
            QTest::keyClick(pMode, Qt::Key_Up);
        script.ThenAnswerMessageBox();
        PressSheetButton(sheet, IDOK);
        for (int i = 0; i < 5 && pMode->currentText() != "WPA2"; ++i)
            QTest::keyClick(pMode, Qt::Key_Down);
        Retype(Edit(pPage, IDC_DEVICE_IP), "10.0.0.300");
        EXPECT_FALSE(Edit(pPage, IDC_DEVICE_IP)->styleSheet().isEmpty());
        script.ThenAnswerMessageBox();
        PressSheetButton(sheet, IDOK);
        EXPECT_EQ(drive.ReadConfig(), original);
        QTest::keyClick(Edit(pPage, IDC_DEVICE_IP), Qt::Key_Backspace);
        EXPECT_TRUE(Edit(pPage, IDC_DEVICE_IP)->toolTip().isEmpty());
        EXPECT_TRUE(Edit(pPage, IDC_DEVICE_IP)->styleSheet().isEmpty());
        PressSheetButton(sheet, IDOK);
    }, &script);
    ASSERT_EQ(script.MessageBoxes().size(), 2u);
    EXPECT_TRUE(script.MessageBoxes()[0].text.startsWith("For WEP128 with Passphrase, the Key Password must be"));
    EXPECT_TRUE(script.MessageBoxes()[1].text.startsWith("The Device IP must be four numbers"));
    EXPECT_EQ(script.MessageBoxes()[1].caption, "Error");
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
    RunSheet({&page}, [&](CPropertySheet& sheet) {
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
    }, &script);
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_TRUE(script.MessageBoxes()[0].text.startsWith("The Address must be an e-mail address"));
    EXPECT_EQ(script.MessageBoxes()[0].owner, pEntryWindow);
}

TEST(ValueChecks, ShowPasswordShowsBothBoxesWhileCheckedAndIsClearedWhenThePageIsShownAgain)
{
    struct Case
    {
        std::function<CPropertyPage*()> make;
        int nCheck, nPassword, nRetype;
    };
    const std::vector<Case> cases = {
        {[] { auto* p = new CPropPageNetwork; p->SetPageTitle("Configured Networks::Home"); return p; },
         IDC_SHOW_PASSWORD, IDC_KEY_PASSWORD, IDC_RETYPE_PASSWORD},
        {[] { return new CPropPageEmail; }, IDC_SHOW_PASSWORD, IDC_SMTP_PASSWORD, IDC_SMTP_RETYPE_PASSWORD},
        {[] { return new CPropPageEmail; }, IDC_SHOW_POP_PASSWORD, IDC_POP_PASSWORD, IDC_POP_RETYPE_PASSWORD},
        {[] { return new CPropPageInternetSharing; }, IDC_SHOW_PASSWORD, IDC_FC_PASSWORD, IDC_FC_RETYPE_PASSWORD},
        {[] { return new CPropPagePCSharing; }, IDC_SHOW_PASSWORD, IDC_SMB_PASSWORD, IDC_SMB_RETYPE_PASSWORD},
    };
    CScratchDrive drive;
    for (const Case& c : cases) {
        LoadDrive(drive, ConfigWithBadStoredValues());
        std::unique_ptr<CPropertyPage> pPage(c.make());
        CPropPageAddressBook other;
        RunSheet({pPage.get(), &other}, [&](CPropertySheet& sheet) {
            auto* pCheck = qobject_cast<QCheckBox*>(pPage->GetDlgItem(c.nCheck)->GetSafeHwnd());
            const auto echo = [&] { return std::make_pair(Edit(pPage.get(), c.nPassword)->echoMode(),
                                                          Edit(pPage.get(), c.nRetype)->echoMode()); };
            ASSERT_EQ(pCheck->text(), "Show password");
            ClickCheck(pCheck);
            EXPECT_EQ(echo(), std::make_pair(QLineEdit::Normal, QLineEdit::Normal)) << c.nPassword;
            ClickCheck(pCheck);
            EXPECT_EQ(echo(), std::make_pair(QLineEdit::Password, QLineEdit::Password)) << c.nPassword;
            ClickCheck(pCheck);
            ASSERT_TRUE(sheet.SetActivePage(1));
            ASSERT_TRUE(sheet.SetActivePage(0));
            EXPECT_FALSE(pCheck->isChecked()) << c.nPassword;
            EXPECT_EQ(echo(), std::make_pair(QLineEdit::Password, QLineEdit::Password)) << c.nPassword;
            PressSheetButton(sheet, IDCANCEL);
        });
    }
}
