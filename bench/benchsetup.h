#pragma once

#include "divedb/divedb.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace bench {

// Ends the benchmark `who` that cannot go on, with what went wrong.
[[noreturn]] inline void failure(const char* who, const char* what, const char* detail = "")
{
    std::fprintf(stderr, "%s: %s %s\n", who, what, detail);
    std::exit(1);
}

// The number after `name` on the command line ("--dives 500"), or `fallback`.
inline int option(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    }
    return fallback;
}

// A benchmark of the main window runs offscreen on a data folder of its own
// (and so a database of its own), never on the user's files. Made before the
// application object.
class WindowEnvironment
{
public:
    WindowEnvironment()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_DATA_HOME", mData.path().toLocal8Bit());
        qputenv("HOME", mData.path().toLocal8Bit());
    }

private:
    QTemporaryDir mData;
};

// Stores a logbook of `count` dives, dive i as `makeDive(i)` gives it, with
// SQLite's synchronous writes off while it writes, then on again (as the
// program runs) for what the benchmark times. A dive refused ends the
// benchmark `who`.
inline void storeLogbook(int count, const std::function<Dive(int)>& makeDive, const char* who)
{
    const auto setSynchronous = [](bool on) {
        QSqlQuery(QSqlDatabase::database())
            .exec(on ? QStringLiteral("PRAGMA synchronous = FULL") : QStringLiteral("PRAGMA synchronous = OFF"));
    };
    setSynchronous(false);
    for (int i = 0; i < count; ++i) {
        if (DiveDb::instance()->storeDive(makeDive(i)) != DiveDb::Success)
            failure(who, "cannot store dive",
                    qPrintable(QStringLiteral("%1: %2").arg(i).arg(DiveDb::instance()->lastError())));
    }
    setSynchronous(true);
}

} // namespace bench
