#include "pages/PropPageAddressBook.h"

#include "res/Resource.h"

CPropPageAddressBook::CPropPageAddressBook()
    : CPropertyPage(IDD_ADDRESS_BOOK)
{
}
