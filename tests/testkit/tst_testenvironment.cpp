#include "decimalcomma.h"
#include "testenvironment.h"
#include "widgetgrab.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>

#include <clocale>
#include <ctime>

class TestEnvironmentTest : public QObject
{
    Q_OBJECT

private slots:
    void dataLocationsLieInsideTheTemporaryRoot()
    {
        const QString root = qEnvironmentVariable("XDG_DATA_HOME");
        QVERIFY(!root.isEmpty());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QVERIFY2(data.startsWith(root), qPrintable(data));
        QVERIFY(QDir::homePath().startsWith(QFileInfo(root).path()));
    }

    void timeZoneIsPinned()
    {
        std::time_t epoch = 0;
        std::tm local{};
        localtime_r(&epoch, &local);
        QCOMPARE(local.tm_hour, 0);

        testkit::TestEnvironment::setTimeZone("Asia/Kolkata");
        localtime_r(&epoch, &local);
        QCOMPARE(local.tm_hour, 5);
        QCOMPARE(local.tm_min, 30);
        testkit::TestEnvironment::setTimeZone("UTC");
    }

    void grabWritesAPicture()
    {
        QLabel label("grab");
        label.resize(80, 20);
        const QString path = QFileInfo(qEnvironmentVariable("XDG_DATA_HOME")).path() + "/grab.png";
        QVERIFY(testkit::grabToPng(label, path));
        QImage image(path);
        QCOMPARE(image.size(), QSize(80, 20));
    }

    // The decimal-comma numbers leave the locale path as they found it: set,
    // or not set at all.
    void decimalCommaRestoresTheLocalePath_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: not set
        QTest::newRow("not set") << QByteArray();
        QTest::newRow("set") << QByteArray("/usr/lib/locale");
        QTest::newRow("set empty") << QByteArray("");
    }
    void decimalCommaRestoresTheLocalePath()
    {
        QFETCH(QByteArray, before);
        if (before.isNull())
            qunsetenv("LOCPATH");
        else
            qputenv("LOCPATH", before);
        {
            const testkit::DecimalCommaNumbers commas;
            // Where it can be built, the comma is what the C library writes.
            if (commas.isActive())
                QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
        }
        QCOMPARE(qEnvironmentVariableIsSet("LOCPATH"), !before.isNull());
        QCOMPARE(qgetenv("LOCPATH"), before.isNull() ? QByteArray() : before);
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray("."));
        qunsetenv("LOCPATH");
    }
};

MAREVANE_TEST_MAIN(TestEnvironmentTest)
#include "tst_testenvironment.moc"
