#pragma once
// Internet content for the frame: the FrameChannel account and the RSS feeds.

#include "platform/PropertyPage.h"

class CPropPageInternetSharing : public CPropertyPage
{
public:
    CPropPageInternetSharing();
};
