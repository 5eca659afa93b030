#pragma once

#include "divemodel/divelinesio.h"

// Binary dive files (".divebin"): a data stream of Qt 6.0 holding the magic
// "BrenmokBinaryFile", a layout version and the dive's JSON form as CBOR.
// Only opened through the factories; no factory hands out a writer.
class BinaryFile : public DiveLinesIO
{
public:
    // Reads the dive's JSON form onto the dive (which is not cleared first)
    // and draws its ceiling area from the samples, all or nothing: a file
    // that is not a binary dive file, of another layout version, cut short,
    // or whose dive is damaged, holds a number that is not finite or a
    // sample beyond what a dive can be, changes nothing and says why in
    // errorString().
    bool read(const QString& path, Dive& dive) override;
    bool read(QDataStream& stream, Dive& dive) override;
    // Replaces the file with the dive; until the whole file is written the
    // earlier one stays as it was. False when it cannot be written.
    bool write(const QString& path, Dive& dive) override;
    // Writes the three items in stream version 20; true while the stream's
    // status stays OK.
    bool write(QDataStream& stream, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Binary; }
};
