#pragma once

#include <QString>

class QApplication;

struct ApplicationVersion
{
    int majorVersion = 0;
    int minorVersion = 0;
    int patchVersion = 0;
    int buildNumber = 0;
};

// The application version in four parts; a missing or unreadable part is 0.
ApplicationVersion getApplicationVersion(QApplication* application);
// The application version cut before its last ".": "2.9.3" for 2.9.3.1,
// the whole version when it has no ".".
QString shortApplicationVersion();
// "title - 2.9.3" for version 2.9.3.1: the short version.
QString applicationWindowTitle(const QString& title);
