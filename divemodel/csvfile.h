#pragma once

#include "divemodel/divelinesio.h"

#include <QtGlobal>

// CSV dive files: an export of one dive with French column titles, and an
// import of TAB-separated sample lines.
class CsvFile : public DiveLinesIO
{
public:
    using DiveLinesIO::read;
    using DiveLinesIO::write;

    // Appends the samples of every 20-field line and names the dive after the
    // file; false, with the dive unchanged, when there is no such line.
    bool read(const QString& path, Dive& dive) override;
    // Replaces the file with the export; false when it cannot be opened or a
    // write fails. A field holding the separator, a quote or a line break is
    // quoted.
    bool write(const QString& path, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Csv; }

    char separator = ',';
    // 1 writes numbers the French way (decimal comma), else in the C locale.
    qint32 frenchLocale = 0;
};
