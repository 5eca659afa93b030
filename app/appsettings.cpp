#include "appsettings.h"

AppSettings::AppSettings(const QString& dataFolder)
    : mSettings(dataFolder + '/' + kFileName, QSettings::IniFormat)
{
}

CsvSeparator AppSettings::csvSeparator() const
{
    return csvSeparatorFromSetting(mSettings.value(kCsvSeparator));
}

void AppSettings::setCsvSeparator(CsvSeparator separator)
{
    write(kCsvSeparator, csvSeparatorSettingValue(separator));
}

QString AppSettings::text(const char* key) const
{
    return mSettings.value(key).toString();
}

void AppSettings::write(const char* key, const QVariant& value)
{
    mSettings.setValue(key, value);
    mSettings.sync();
}
