// The process-wide user-interface service.
#include "numeric/TUserInterface.h"

namespace orbelin {

namespace {
TUserInterface SilentUserInterface;
TUserInterface* Installed = nullptr;
} // namespace

TUserInterface& UserInterface()
{
    return Installed != nullptr ? *Installed : SilentUserInterface;
}

void SetUserInterface(TUserInterface* ui)
{
    Installed = ui;
}

} // namespace orbelin
