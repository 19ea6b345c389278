#pragma once
// The frame's own mail account: its address and its outgoing and incoming servers.

#include "platform/PropertyPage.h"

class CPropPageEmail : public CPropertyPage
{
public:
    CPropPageEmail();
};
