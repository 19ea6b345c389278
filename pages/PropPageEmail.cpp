#include "pages/PropPageEmail.h"

#include "res/Resource.h"

CPropPageEmail::CPropPageEmail()
    : CPropertyPage(IDD_EMAIL)
{
}
