#include "ConfigListing.h"

#include "Diagnostics.h"

int main()
{
    if (listConfigs())
        return 0;
    KorvoSDK::logError("Listing EGL configs failed");
    return 1;
}
