#pragma once

#include "divemodel/divelinesio.h"

// Binary dive files (".divebin"). Not readable or writable yet: every
// operation refuses.
class BinaryFile : public DiveLinesIO
{
public:
    using DiveLinesIO::read;
    using DiveLinesIO::write;

    bool read(const QString& path, Dive& dive) override;
    bool write(const QString& path, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Binary; }
};
