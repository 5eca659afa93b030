#pragma once

#include "divemodel/dive.h"

#include <QString>
#include <QTemporaryDir>

namespace testkit {

// A dive of `samples` samples, one every 2 s, going down to `maxDepth` and
// back up, with a gas of air and one of nitrox 32.
Dive makeDive(const QString& name, const QString& serial, int samples, double maxDepth = 30.0,
              qint64 beginTime = 1700000000);

// A folder of its own for each test's database files.
class DatabaseFolder
{
public:
    QString path(const QString& fileName = QStringLiteral("diveDB.db")) const
    {
        return mFolder.filePath(fileName);
    }

private:
    QTemporaryDir mFolder;
};

} // namespace testkit
