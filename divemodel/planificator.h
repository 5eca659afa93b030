#pragma once

#include "divemodel/divelinesio.h"

// The field-list layout of a dive on a data stream, in the version and byte
// order the caller gave the stream: the dive's identity, statistics, gases
// and samples, field by field. A ".diveplan" file is never opened or saved
// through the file operations, which refuse and touch nothing.
class Planificator : public DiveLinesIO
{
public:
    bool read(const QString& path, Dive& dive) override;
    bool write(const QString& path, Dive& dive) override;
    // Reads the fields onto the dive, all or nothing: a head word of another
    // layout, a negative count, a stream cut short, a number that is not
    // finite or a sample beyond what a dive can be changes nothing and says
    // why in errorString(). Counts are believed only as far as the stream
    // holds what they count.
    bool read(QDataStream& stream, Dive& dive) override;
    // True while the stream's status stays OK.
    bool write(QDataStream& stream, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Plan; }
};
