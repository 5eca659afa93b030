#pragma once

#include "divemodel/divelinesio.h"

// UDDF dive files. Not readable or writable yet: both operations refuse.
class UddfFile : public DiveLinesIO
{
public:
    using DiveLinesIO::read;
    using DiveLinesIO::write;

    bool read(const QString& path, Dive& dive) override;
    bool write(const QString& path, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Uddf; }
};
