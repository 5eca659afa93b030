#pragma once

#include "divemodel/divelinesio.h"

// The field-list layout of a dive on a data stream. A ".diveplan" file is never
// opened or saved through the file operations, which refuse; the stream
// operations refuse too until the layout is read and written.
class Planificator : public DiveLinesIO
{
public:
    using DiveLinesIO::read;
    using DiveLinesIO::write;

    bool read(const QString& path, Dive& dive) override;
    bool write(const QString& path, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Plan; }
};
