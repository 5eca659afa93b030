#pragma once

#include "divemodel/dive.h"

#include <QByteArray>
#include <QList>
#include <QVariant>

#include <optional>

// How the values of a dive that have no column of their own type are kept in
// the database: tissue words, alert words and the tank transmitter index.
namespace divecolumns {

// Sixteen 16-bit tissue values as 32 bytes, each low byte first.
QByteArray tissueBlob(const quint16 (&values)[16]);
// Reads word i only when the blob holds it; the other values are left as
// they are.
void readTissueBlob(const QByteArray& blob, quint16 (&values)[16]);

// dives.alerts: the Quelm word for the Quelm family, else the 24-bit Pelavix
// word.
qint64 diveAlertWord(const Dive& dive);
// Reads dives.alerts into the word of the dive's computer model; other models
// have none.
void setDiveAlertWord(Dive& dive, qint64 value);

// profiles.alertPelavix: the Pelavix alerts in bits 0-15 and the low byte of
// the second word in bits 16-23.
qint64 sampleAlertPelavix(const DiveLine& line);
void setSampleAlertPelavix(DiveLine& line, qint64 value);
// The 24-bit Pelavix value of a sample stored before the Pelavix column
// existed, from its Quelm alert bits and transmitter alerts.
quint32 pelavixAlertFromQuelm(quint8 flag, quint8 transmitter);
// The dive's Pelavix alert word, summed up from its samples: the worst level
// of each graded alert and every alert that occurred.
quint32 pelavixAlertSummary(const QList<DiveLine>& lines);

// The transmitter index as a signed byte (none, 255, is kept as -1).
int storedTransmitterIndex(quint8 index);
// NULL (rows written without it) reads as none.
quint8 transmitterIndexFromColumn(std::optional<qint64> value);

} // namespace divecolumns
