#pragma once

#include <QString>

// The feature switches of "options.ini" (INI) in the data folder. The file is
// read once at start and never written; each switch is on only when its key
// holds exactly 1, so a missing file leaves every feature off.
struct AppOptions
{
    static constexpr const char* kFileName = "options.ini";

    static constexpr const char* kSimulation = "hidden/simulation";
    static constexpr const char* kPlanification = "hidden/planification";
    static constexpr const char* kPlanificationAddOn = "hidden/planificationaddon";
    static constexpr const char* kImport = "hidden/import";

    // The Console and Simulation tabs of the dive information.
    bool simulation = false;
    // The dive planning tab.
    bool planification = false;
    // The gradient-factor row of the planning tab.
    bool planificationAddOn = false;
    // Opening dive files with the import button and the Open action.
    bool import = false;

    // The options of the data folder `dataFolder`.
    static AppOptions read(const QString& dataFolder);
};
