#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <clocale>
#include <cstdlib>
#include <ctime>

namespace testkit {

TestEnvironment::TestEnvironment(const char* timeZone)
{
    if (!mRoot.isValid())
        qFatal("cannot create the temporary test folder");
    // The data folder is left for the code under test to create.
    QDir(mRoot.path()).mkpath("home");
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    qputenv("HOME", home().toUtf8());
    qputenv("XDG_CONFIG_HOME", (mRoot.path() + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (mRoot.path() + "/cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", mRoot.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    setTimeZone(timeZone);
}

QString TestEnvironment::dataHome() const
{
    return mRoot.path() + "/data";
}

QString TestEnvironment::home() const
{
    return mRoot.path() + "/home";
}

QString appDataFolder()
{
    return QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation).value(0);
}

QString writeDataFile(const QString& name, const QByteArray& contents)
{
    const QString path = appDataFolder() + '/' + name;
    QFile file(path);
    if (!QDir().mkpath(appDataFolder()) || !file.open(QIODevice::WriteOnly) ||
        file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestEnvironment::setTimeZone(const char* timeZone)
{
    qputenv("TZ", timeZone);
    tzset();
}

} // namespace testkit
