#include "testenvironment.h"
#include "widgetgrab.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>

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
};

MAREVANE_TEST_MAIN(TestEnvironmentTest)
#include "tst_testenvironment.moc"
