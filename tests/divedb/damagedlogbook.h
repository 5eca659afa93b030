#pragma once

#include <QString>

namespace testkit {

// Ways a logbook file gets damaged, each done to a closed file of a few
// stored dives (ids 1, 2, 3). Each returns an empty text, or what went
// wrong in building the damage.
namespace damage {

// The index of the samples lists a sample of dive 2 as sample 100000 of the
// next dive to be stored (id 4), and misses it under dive 2.
QString samplesIndexOutOfStep(const QString& path);
// A page of dive 1's samples is listed among the free pages, so the next
// write takes it over.
QString pageInUseListedAsFree(const QString& path);
// The bits of the type of the first page of samples are flipped: dive 1 can
// no longer be read.
QString firstSamplePageFlipped(const QString& path);
// The dives table lost its key, and a second dive carries the id of dive 2.
QString diveIdSharedWithoutKey(const QString& path);
// A trigger that another program left drops every tenth sample written.
QString samplesDroppedByATrigger(const QString& path);

// Flips `bits` bits chosen by the seed, anywhere in the file.
QString randomBitsFlipped(const QString& path, quint32 seed, int bits);

} // namespace damage

// Whether SQLite's own check finds the file sound.
bool passesQuickCheck(const QString& path);

} // namespace testkit
