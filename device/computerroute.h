#pragma once

#include <QtGlobal>

// Where "Download dives" and "Install firmware/bootloader" lead for a
// connected computer.
struct ComputerRoute
{
    enum class Dialog { Download, FirmwareManager };

    // Whether the computer's firmware is compared with the newest listed one
    // first.
    bool checkNewerFirmware = false;
    Dialog dialog = Dialog::Download;

    friend bool operator==(const ComputerRoute&, const ComputerRoute&) = default;
};

// From firmware 2.0.11 on (compared unsigned) the entry chooses, "id" 1 the
// download and any other the firmware manager, after the newer-firmware
// check. Before it the entry does not matter: a computer in normal mode
// (1) is checked and downloads, any other mode gets the firmware manager.
ComputerRoute routeComputerAction(quint32 firmwareVersion, int mode, int menuId);
