#pragma once

class QVariant;

// The field separator the user picks for CSV exports. The enumeration, the
// number stored in the settings and the character written are three different
// numberings; these functions are the one place that maps them.
enum class CsvSeparator : int {
    Comma = 0,
    Dot = 1,
    Semicolon = 2,
};

// ',', '.' or ';', as the CSV writer takes it.
char csvSeparatorCharacter(CsvSeparator separator);
// The stored setting: 0 dot, 1 comma, 2 semicolon.
int csvSeparatorSettingValue(CsvSeparator separator);
// From the stored setting: 2 semicolon, 1 comma, anything else (0, missing,
// not a number) dot.
CsvSeparator csvSeparatorFromSetting(const QVariant& stored);
