#include "appoptions.h"

#include <QSettings>

AppOptions AppOptions::read(const QString& dataFolder)
{
    const QSettings file(dataFolder + '/' + kFileName, QSettings::IniFormat);
    const auto on = [&](const char* key) { return file.value(key, 0).toInt() == 1; };
    AppOptions options;
    options.simulation = on(kSimulation);
    options.planification = on(kPlanification);
    options.planificationAddOn = on(kPlanificationAddOn);
    options.import = on(kImport);
    return options;
}
