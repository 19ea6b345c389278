#include "pages/PropPageInternetSharing.h"

#include "res/Resource.h"

CPropPageInternetSharing::CPropPageInternetSharing()
    : CPropertyPage(IDD_INTERNET_SHARING)
{
}
