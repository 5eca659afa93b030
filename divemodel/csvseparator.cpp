#include "divemodel/csvseparator.h"

#include <QVariant>

char csvSeparatorCharacter(CsvSeparator separator)
{
    switch (separator) {
    case CsvSeparator::Comma:
        return ',';
    case CsvSeparator::Semicolon:
        return ';';
    case CsvSeparator::Dot:
        break;
    }
    return '.';
}

int csvSeparatorSettingValue(CsvSeparator separator)
{
    switch (separator) {
    case CsvSeparator::Comma:
        return 1;
    case CsvSeparator::Semicolon:
        return 2;
    case CsvSeparator::Dot:
        break;
    }
    return 0;
}

CsvSeparator csvSeparatorFromSetting(const QVariant& stored)
{
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    if (isNumber && value == 2)
        return CsvSeparator::Semicolon;
    if (isNumber && value == 1)
        return CsvSeparator::Comma;
    return CsvSeparator::Dot;
}
