#pragma once

#include "divemodel/csvseparator.h"

#include <QSettings>
#include <QString>

// The user's choices and last folders, kept in "settings.cfg" (INI) in the
// data folder. Every write reaches the file at once, so that nothing is lost
// when the program ends abruptly. A missing file or key reads as its default.
class AppSettings
{
public:
    static constexpr const char* kFileName = "settings.cfg";

    static constexpr const char* kCsvSeparator = "export/csvSeparator";
    static constexpr const char* kLastDiveFile = "directories/lastDiveFile";
    static constexpr const char* kLastExportDir = "directories/lastExportDir";
    static constexpr const char* kLastSyslogDir = "directories/lastSyslogDir";
    static constexpr const char* kLastPlanFile = "directories/lastPlanFile";
    static constexpr const char* kLastFirmwares = "directories/lastFirmwares";

    // The settings of the data folder `dataFolder`.
    explicit AppSettings(const QString& dataFolder);

    // The separator of CSV exports (see csvseparator.h for how it is stored).
    CsvSeparator csvSeparator() const;
    void setCsvSeparator(CsvSeparator separator);

    // Folders of the last loaded dive file, export, system log, plan file
    // and firmware; empty until first written.
    QString lastDiveFile() const { return text(kLastDiveFile); }
    void setLastDiveFile(const QString& folder) { write(kLastDiveFile, folder); }
    QString lastExportDir() const { return text(kLastExportDir); }
    void setLastExportDir(const QString& folder) { write(kLastExportDir, folder); }
    QString lastSyslogDir() const { return text(kLastSyslogDir); }
    void setLastSyslogDir(const QString& folder) { write(kLastSyslogDir, folder); }
    QString lastPlanFile() const { return text(kLastPlanFile); }
    void setLastPlanFile(const QString& folder) { write(kLastPlanFile, folder); }
    QString lastFirmwares() const { return text(kLastFirmwares); }
    void setLastFirmwares(const QString& folder) { write(kLastFirmwares, folder); }

    QString fileName() const { return mSettings.fileName(); }

private:
    QString text(const char* key) const;
    void write(const char* key, const QVariant& value);

    QSettings mSettings;
};
