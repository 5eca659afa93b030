#pragma once

#include "divemodel/dive.h"
#include "tessal/divesample.h"
#include "tessal/quelmsession.h"

#include <QList>

// Turns what the computer sent about a dive into a Dive.
class PelavixDiveConverter
{
public:
    PelavixDiveConverter() = delete;

    // The header, the gases it enables and the samples in metres, °C and bar,
    // with the computer's serial, owner name and firmware text from the
    // session. The dive is named by its number and begin, so that one
    // computer's dives never share a name. Damaged values are not let in: a
    // figure that is not a number becomes 0, a sample that does not come
    // after the one before is dropped, and a gas that is no breathable
    // mixture is left out. A dive holding a value beyond what a dive can be
    // (a depth, a time, a begin time) is refused: the result is an empty
    // dive and `refusal`, when given, says why.
    static Dive toDive(const PelavixDiveHeader& header, const QList<DiveSample>& samples,
                       const QuelmSession& session, QString* refusal = nullptr);
};
