#include "appsettings.h"

AppSettings::AppSettings(const QString& dataFolder)
    : mSettings(dataFolder + '/' + kFileName, QSettings::IniFormat)
{
}

CsvSeparator AppSettings::csvSeparator() const
{
    switch (mSettings.value(kCsvSeparator).toInt()) {
    case 1:
        return CsvSeparator::Comma;
    case 2:
        return CsvSeparator::Semicolon;
    default:
        return CsvSeparator::Dot;
    }
}

void AppSettings::setCsvSeparator(CsvSeparator separator)
{
    int stored = 0;
    switch (separator) {
    case CsvSeparator::Dot:
        stored = 0;
        break;
    case CsvSeparator::Comma:
        stored = 1;
        break;
    case CsvSeparator::Semicolon:
        stored = 2;
        break;
    }
    write(kCsvSeparator, stored);
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
