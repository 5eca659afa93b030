#pragma once

#include <QString>

#include <span>

// Declared SQL type of a column that opening an older file adds.
enum class FieldType : int { Integer = 0, Real = 1, Text = 2, Blob = 3 };

// "INTEGER", "REAL", "TEXT", "BLOB"; empty for any other value.
QString fieldTypeName(FieldType type);

// The tables of "diveDB.db" and what opening a file of an older version adds.
namespace diveschema {

extern const char* const createDives;
extern const char* const createProfiles;
extern const char* const createGases;

// The largest sample time and depth of each dive, kept by every write of
// samples so that the dive list never reads the samples. Older versions of
// the program don't know this table: the triggers drop a dive's figures when
// any program deletes or rewrites the dive, and opening fills in the figures
// that are missing.
extern const char* const createFigures;
extern const char* const createFiguresTriggers[2];
// Computes the figures of one dive (its id bound as ":diveid"), or of every
// dive that has none.
extern const char* const writeFiguresOfDive;
extern const char* const fillMissingFigures;

// One column that must exist, checked in this order on every opening.
struct ColumnCheck
{
    const char* table;
    const char* column;
    FieldType type;
};
std::span<const ColumnCheck> migratedColumns();

} // namespace diveschema
