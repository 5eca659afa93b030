#pragma once

#include "divemodel/divelinesio.h"

// UDDF dive files (".uddf", UDDF 3.2.3): one dive written with its gases, its
// begin time and its samples; the gases, computer, begin time and samples of
// the first dive of a document read back. Numbers are read and written in the
// C form ("12.5") whatever the user's locale.
class UddfFile : public DiveLinesIO
{
public:
    using DiveLinesIO::read;
    using DiveLinesIO::write;

    // Adds the document's gases and samples to the dive and sets its name,
    // its computer and its begin time, all or nothing: a document that is not
    // UDDF, has no dive or no sample, or holds a number that is not finite or
    // lies beyond what its field can be (a depth deeper than any sea) changes
    // nothing and says why in errorString().
    bool read(const QString& path, Dive& dive) override;
    // Replaces the file with the dive as a UDDF document once it is
    // complete; false, with the earlier file as it was, when it cannot be
    // written. The begin time is the local wall-clock time, without a zone.
    bool write(const QString& path, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Uddf; }
};
