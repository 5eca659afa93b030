#pragma once

#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdlib>
#include <cstring>

namespace bench {

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

} // namespace bench
