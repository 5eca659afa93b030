#pragma once

#include "deco/diver.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The planner's plan file (".diveplan"): for each dive of the series, the
// tissue state it ended with and the planner's own settings; no points,
// names or gases. No magic and no version: a signed 32-bit count of dives,
// then one 150-byte record per dive in slot order, every value little-endian
// at its offset. A record opens with the 140-byte image of the tissue state
// (its two bytes of padding written as zeros and ignored on reading); the
// surface interval, the effort flag, the water type and the surface pressure
// follow.
namespace planfile {

constexpr qsizetype countSize = 4;
constexpr qsizetype recordSize = 150;
constexpr int largestCount = 3;
constexpr qsizetype largestFileSize = countSize + largestCount * recordSize;

// One dive of a plan file.
struct DiveRecord
{
    diver_t tissues;
    qint32 surfaceInterval = 0; // s
    quint8 effortMode = 0;      // 0 or 1
    quint8 waterType = 0;       // 0 salt, any other value fresh
    float surfacePressureBar = 0.0f;
};

// The bytes of a plan file of these dives (at most `largestCount`).
QByteArray encode(const QList<DiveRecord>& dives);
// The dives of a plan file's bytes; false, with the reason in the user's
// language, when they are not a plan the planner takes (and `dives` is then
// left as it was).
bool decode(const QByteArray& bytes, QList<DiveRecord>& dives, QString& reason);

// Writes the plan file whole: until it is complete an existing file keeps
// its old content. False, with the reason, when it cannot be written.
bool write(const QString& fileName, const QList<DiveRecord>& dives, QString& reason);
// Reads and decodes a plan file; a file larger than the largest plan is
// refused without being read.
bool read(const QString& fileName, QList<DiveRecord>& dives, QString& reason);

} // namespace planfile
