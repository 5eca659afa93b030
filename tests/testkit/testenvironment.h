#pragma once

#include <QTemporaryDir>
#include <QString>
#include <QtTest>

namespace testkit {

// Gives a test process a data folder and home of its own and a fixed time zone,
// so that no test ever reads or writes the user's files and dates read the same
// everywhere. Created before the application object.
class TestEnvironment
{
public:
    explicit TestEnvironment(const char* timeZone = "UTC");

    // The temporary root; XDG_DATA_HOME and HOME lie below it.
    QString root() const { return mRoot.path(); }
    QString dataHome() const;
    QString home() const;

    // Switches the process time zone (TZ plus tzset) for tests that need one.
    static void setTimeZone(const char* timeZone);

private:
    QTemporaryDir mRoot;
};

// The program's data folder in this test's environment; the code under test
// creates it.
QString appDataFolder();
// Writes a file of the data folder ("options.ini", "services.ini", ...),
// creating the folder, and returns its path. A test that cannot write its
// files cannot go on.
QString writeDataFile(const QString& name, const QByteArray& contents);
// The bytes of a file; empty when it cannot be read (or is missing).
QByteArray fileBytes(const QString& path);

} // namespace testkit

// Like QTEST_MAIN, with the isolated environment set up before the application.
#define MAREVANE_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        testkit::TestEnvironment environment;                                                      \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
