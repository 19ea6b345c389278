#pragma once
// The shared folder on the user's PC from which the frame may read.

#include "platform/PropertyPage.h"

class CPropPagePCSharing : public CPropertyPage
{
public:
    CPropPagePCSharing();
};
