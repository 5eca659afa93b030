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
// "title - 2.9.3" for version 2.9.3.1: the version without its last part.
QString applicationWindowTitle(const QString& title);
