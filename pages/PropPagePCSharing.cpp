#include "pages/PropPagePCSharing.h"

#include "res/Resource.h"

CPropPagePCSharing::CPropPagePCSharing()
    : CPropertyPage(IDD_PC_SHARING)
{
}
