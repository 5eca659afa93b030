#include "device/computerroute.h"

#include "device/firmwareversions.h"

ComputerRoute routeComputerAction(quint32 firmwareVersion, int mode, int menuId)
{
    using Dialog = ComputerRoute::Dialog;
    if (firmwareVersion >= kFirmware2_0_11)
        return {true, menuId == 1 ? Dialog::Download : Dialog::FirmwareManager};
    if (mode == 1)
        return {true, Dialog::Download};
    return {false, Dialog::FirmwareManager};
}
