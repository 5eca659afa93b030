// The analyses' file operations stay beside the file formats: libCordale,
// which builds the rest of the analyses, carries no reader or writer.
#include "divemodel/diveanalysis.h"

#include "divemodel/dive.h"
#include "divemodel/divelinesio.h"

#include <utility>

bool DiveAnalysis::exportDiveFile(Dive& dive, const QString& path)
{
    const std::unique_ptr<DiveLinesIO> writer = DiveLinesIO::getWriter(path);
    return writer && writer->write(path, dive);
}

bool DiveAnalysis::importDiveFile(Dive& dive, const QString& path, QString* reason)
{
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::getReader(path);
    if (!reader)
        return false;
    // A reader adds to what it is given, and one that fails may have added
    // part of the file already.
    Dive read = dive;
    read.clear();
    if (!reader->read(path, read)) {
        if (reason)
            *reason = reader->errorString();
        return false;
    }
    read.format = qint32(reader->format());
    calculateMaxTimeDepth(read);
    calculateSpeeds(read, false);
    dive = std::move(read);
    return true;
}
