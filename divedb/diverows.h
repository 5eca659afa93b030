#pragma once

#include "divedb/sqlitestatement.h"
#include "divemodel/dive.h"

#include <array>

// The rows a dive is written as, value for value in the order of the columns
// of the statements that write them: what storing binds, and what reading
// the dive back before the commit compares.
namespace diverows {

// dives: diveid, name, computer, datetime, serial, period, alerts, alertsAI,
// divermode, divemode, ocdivemode, gfslow, gfshigh, waterdensity, psurf,
// computertype, firmwareversion, place, site, buddy, diveNumber, uploaded,
// gasSet, diverN2, diverHe.
using DiveRow = std::array<SqlValue, 25>;
DiveRow insertedDive(int id, const Dive& dive);

// What a rewrite sets: every column but divermode, ocdivemode, gasSet and
// the tissue values, then the id it names.
using RewrittenDiveRow = std::array<SqlValue, 20>;
RewrittenDiveRow rewrittenDive(int id, const Dive& dive);

// gases: diveid, gasid (from 1), o2, he, gasClass.
using GasRow = std::array<SqlValue, 5>;
GasRow gas(int id, qsizetype index, const DiveGas& gas);

// profiles: diveid, pointid (from 0), time, depth, temperature, OTU, CNS,
// decoCeiling, gradientFactor, alertFlag, gasindex, alertAI, battery,
// tankPressure, gfLow, gfHigh, ppo2, tankPressureTxIndex, alertPelavix.
using SampleRow = std::array<SqlValue, 19>;
SampleRow sample(int id, qsizetype index, const DiveLine& line);

} // namespace diverows
