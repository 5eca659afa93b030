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

    // Appends the samples of every 20-field line whose time and depth are
    // numbers and names the dive after the file. False, with the dive
    // unchanged and the reason in errorString(), when there is no such line or
    // a value is not a finite number.
    bool read(const QString& path, Dive& dive) override;
    // Replaces the file with the export once it is complete; false, with the
    // earlier file as it was, when it cannot be opened or a write fails. A
    // field holding the separator, a quote or a line break is quoted.
    bool write(const QString& path, Dive& dive) override;
    DiveFormat format() const override { return DiveFormat::Csv; }

    char separator = ',';
    // 1 writes numbers the French way (decimal comma), else in the C locale.
    qint32 frenchLocale = 0;
};
