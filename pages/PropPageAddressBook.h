#pragma once
// The frame's address book: contacts, and the senders it accepts or refuses.

#include "platform/PropertyPage.h"

class CPropPageAddressBook : public CPropertyPage
{
public:
    CPropPageAddressBook();
};
