#pragma once

#include "divemodel/diveformat.h"
#include "divemodel/diveline.h"

#include <QList>
#include <QString>

#include <memory>

class QDataStream;
struct Dive;

// A dive file reader and writer. Readers fill the dive they are given without
// clearing it first; every operation reports failure by returning false, and
// a reader that refuses what it read says why in errorString().
class DiveLinesIO
{
public:
    virtual ~DiveLinesIO() = default;

    virtual bool read(const QString& path, Dive& dive) = 0;
    virtual bool write(const QString& path, Dive& dive) = 0;
    virtual DiveFormat format() const { return DiveFormat::Csv; }
    virtual bool read(QDataStream& stream, Dive& dive);
    virtual bool write(QDataStream& stream, Dive& dive);

    // By the text after the last dot of the file name, in any case.
    static DiveFormat getDiveFormatOfFile(const QString& path);
    // The reader for the file's format; null for an unknown suffix.
    static std::unique_ptr<DiveLinesIO> getReader(const QString& path);
    // The writer of a format: CSV, UDDF or plan; null for the binary dive file
    // (never written through here) and an unknown format.
    static std::unique_ptr<DiveLinesIO> getWriter(DiveFormat format);
    static std::unique_ptr<DiveLinesIO> getWriter(const QString& path);

    // Why the last read failed, in the user's language; empty when the file
    // could not be opened at all.
    const QString& errorString() const { return mErrorString; }

protected:
    void setErrorString(const QString& text) { mErrorString = text; }
    // True when `limitError` (the reason a dive lies beyond the limits of
    // what a dive can be) is empty; otherwise false with it as the error.
    bool withinLimits(const QString& limitError);

private:
    QString mErrorString;
};
