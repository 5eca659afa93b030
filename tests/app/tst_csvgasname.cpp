// The CSV export of a stored dive names each sample's gas as the gas pane
// does, although the logbook stores no gas name.

#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

class CsvGasNameTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mFiles.isValid()); }

    void storedDiveExportsTheShownGasNames()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        MainWindow window;
        window.setCsvSeparator(CsvSeparator::Semicolon);
        // Air for the first half of the samples, then nitrox 32, neither named.
        QCOMPARE(DiveDb::instance()->storeDive(testkit::makeDive("A", "A1", 10)), int(DiveDb::Success));
        window.updateDiveList();
        QTableWidget& dives = *testkit::list(window);
        QTableWidgetItem* row = testkit::itemOf(window, "A");
        QVERIFY(row);

        const QString path = mFiles.filePath("a.csv");
        mPrompts.answer(path);
        testkit::requestContextMenu(*dives.viewport(), dives.visualItemRect(row).center());
        QVERIFY(testkit::clickMenuAction("Export"));
        QCoreApplication::processEvents();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList records = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(records.size(), 3 + 10);
        QStringList gases;
        for (qsizetype i = 3; i < records.size(); ++i) {
            const QStringList fields = records.at(i).split(QLatin1Char(';'));
            QVERIFY2(fields.size() == 13, qPrintable(records.at(i)));
            gases << fields.at(6);
        }
        QCOMPARE(gases, (QStringList{"Air", "Air", "Air", "Air", "Air", "Nx32", "Nx32", "Nx32", "Nx32", "Nx32"}));
    }

private:
    QTemporaryDir mFiles;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(CsvGasNameTest)
#include "tst_csvgasname.moc"
