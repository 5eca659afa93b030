#pragma once

#include <QString>

// Opens the downloaded installer and ends the program. The program runs on
// the system's launcher; tests install one that records what it was asked.
class InstallerLauncher
{
public:
    virtual ~InstallerLauncher();

    // The launcher in use: the installed one, else the system's.
    static InstallerLauncher& current();
    // Makes `launcher` the current one (not owned); null restores the system's.
    static void install(InstallerLauncher* launcher);

    // Opens the installer in a process of its own ("open" on macOS,
    // "xdg-open" elsewhere) that outlives the program; false when it could
    // not be started.
    virtual bool open(const QString& installerPath) = 0;
    // Asks the application to quit.
    virtual void quit() = 0;
};
