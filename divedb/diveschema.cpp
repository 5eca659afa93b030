#include "divedb/diveschema.h"

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Real: return QStringLiteral("REAL");
    case FieldType::Text: return QStringLiteral("TEXT");
    case FieldType::Blob: return QStringLiteral("BLOB");
    }
    return {};
}

namespace diveschema {

const char* const createDives =
    "CREATE TABLE dives (diveid INTEGER, name TEXT, computer TEXT, datetime INTEGER, serial TEXT, "
    "divermode INTEGER, divemode INTEGER, ocdivemode INTEGER, gfslow INTEGER, gfshigh INTEGER, "
    "waterdensity INTEGER, psurf INTEGER, period INTEGER, alerts INTEGER, alertsAI INTEGER, "
    "computertype INTEGER, firmwareversion TEXT, place TEXT, site TEXT, buddy TEXT, "
    "diveNumber INTEGER, uploaded INTEGER DEFAULT 0, gasSet INTEGER, diverN2 BLOB, diverHe BLOB, "
    "PRIMARY KEY(diveid))";

const char* const createProfiles =
    "CREATE TABLE profiles (diveid INTEGER, pointid INTEGER, time REAL, depth REAL, "
    "temperature REAL, OTU REAL, CNS REAL, decoCeiling REAL, gradientFactor REAL, "
    "alertFlag INTEGER, alertAI INTEGER, tissues BLOB, gasindex INTEGER, battery INTEGER, "
    "tankPressure INTEGER, gfLow INTEGER, gfHigh INTEGER, ppo2 REAL, tankPressureTxIndex INTEGER, "
    "alertPelavix INTEGER, PRIMARY KEY(diveid, pointid))";

const char* const createGases =
    "CREATE TABLE gases (diveid INTEGER, gasid INTEGER, o2 INTEGER, he INTEGER, "
    "gasClass INTEGER, PRIMARY KEY(diveid, gasid))";

const char* const createFigures = "CREATE TABLE IF NOT EXISTS divefigures "
                                  "(diveid INTEGER PRIMARY KEY, maxtime REAL, maxdepth REAL)";

const char* const createFiguresTriggers[2] = {
    "CREATE TRIGGER IF NOT EXISTS divefigures_on_delete AFTER DELETE ON dives "
    "BEGIN DELETE FROM divefigures WHERE diveid = OLD.diveid; END",
    // Rewriting a whole dive sets its date; the small edits (name, place,
    // computer name, upload mark) leave it alone and keep the figures.
    "CREATE TRIGGER IF NOT EXISTS divefigures_on_rewrite AFTER UPDATE OF datetime ON dives "
    "BEGIN DELETE FROM divefigures WHERE diveid = OLD.diveid; END",
};

#define MAREVANE_FIGURES_OF(condition)                                                             \
    "INSERT OR REPLACE INTO divefigures (diveid, maxtime, maxdepth) "                              \
    "SELECT d.diveid, MAX(p.time), MAX(p.depth) FROM dives d "                                     \
    "LEFT JOIN profiles p ON p.diveid = d.diveid WHERE " condition " GROUP BY d.diveid"

const char* const writeFiguresOfDive = MAREVANE_FIGURES_OF("d.diveid=:diveid");
const char* const fillMissingFigures =
    MAREVANE_FIGURES_OF("d.diveid NOT IN (SELECT diveid FROM divefigures)");

#undef MAREVANE_FIGURES_OF

namespace {

// Files of older versions lack some columns. The types are those that older
// versions added, which is why some differ from the CREATE statements; the
// lower-case "tankpressure" names the column tankPressure.
constexpr ColumnCheck kMigratedColumns[] = {
    {"dives", "period", FieldType::Text},
    {"dives", "alerts", FieldType::Text},
    {"dives", "alertsAI", FieldType::Text},
    {"dives", "computertype", FieldType::Text},
    {"dives", "firmwareversion", FieldType::Text},
    {"dives", "place", FieldType::Text},
    {"dives", "site", FieldType::Text},
    {"dives", "buddy", FieldType::Text},
    {"dives", "diveNumber", FieldType::Integer},
    {"dives", "uploaded", FieldType::Integer},
    {"dives", "gasSet", FieldType::Integer},
    {"dives", "divermode", FieldType::Integer},
    {"dives", "ocdivemode", FieldType::Integer},
    {"dives", "diverN2", FieldType::Blob},
    {"dives", "diverHe", FieldType::Blob},
    {"profiles", "alertFlag", FieldType::Integer},
    {"profiles", "alertAI", FieldType::Integer},
    {"profiles", "tissues", FieldType::Integer},
    {"profiles", "gasindex", FieldType::Integer},
    {"profiles", "tankpressure", FieldType::Integer},
    {"profiles", "battery", FieldType::Integer},
    {"profiles", "gfLow", FieldType::Integer},
    {"profiles", "gfHigh", FieldType::Integer},
    {"profiles", "ppo2", FieldType::Integer},
    {"profiles", "tankPressureTxIndex", FieldType::Integer},
    {"profiles", "alertPelavix", FieldType::Integer},
    {"gases", "gasClass", FieldType::Integer},
};

} // namespace

std::span<const ColumnCheck> migratedColumns()
{
    return kMigratedColumns;
}

} // namespace diveschema
