// SPDX-License-Identifier: GPL-3.0-or-later
// The program's dialog templates by id, as the pages name them.

#include "res/DialogTemplates.h"

#include "platform/DialogTemplate.h"
#include "res/Resource.h"

#include "ui_PropPageAddressBook.h"
#include "ui_PropPageEmail.h"
#include "ui_PropPageInternetSharing.h"
#include "ui_PropPageNetwork.h"
#include "ui_PropPagePCSharing.h"

namespace {
template <class TUi>
void Setup(QWidget* pWidget)
{
    TUi ui;
    ui.setupUi(pWidget);
}

const DialogTemplateEntry s_templates[] = {
    {IDD_EMAIL, &Setup<Ui::PropPageEmail>},
    {IDD_NETWORK, &Setup<Ui::PropPageNetwork>},
    {IDD_PC_SHARING, &Setup<Ui::PropPagePCSharing>},
    {IDD_ADDRESS_BOOK, &Setup<Ui::PropPageAddressBook>},
    {IDD_INTERNET_SHARING, &Setup<Ui::PropPageInternetSharing>},
    {0, nullptr},
};
} // namespace

void UsePageTemplates()
{
    CDialogTemplate::SetTable(s_templates);
}
