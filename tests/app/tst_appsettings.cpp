#include "appoptions.h"
#include "appsettings.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

// "settings.cfg" and "options.ini": every key, its default, what is stored.
class AppSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(mFolder->isValid());
    }

    void missingFileGivesTheDefaults()
    {
        const AppSettings settings(folder());
        QCOMPARE(settings.csvSeparator(), CsvSeparator::Dot);
        QVERIFY(settings.lastDiveFile().isEmpty());
        QVERIFY(settings.lastExportDir().isEmpty());
        QVERIFY(settings.lastSyslogDir().isEmpty());
        QVERIFY(settings.lastPlanFile().isEmpty());
        QVERIFY(settings.lastFirmwares().isEmpty());
        QCOMPARE(settings.fileName(), folder() + "/settings.cfg");
    }

    void foldersAreStoredUnderTheirKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("dive file") << "directories/lastDiveFile";
        QTest::newRow("export") << "directories/lastExportDir";
        QTest::newRow("system log") << "directories/lastSyslogDir";
        QTest::newRow("plan") << "directories/lastPlanFile";
        QTest::newRow("firmwares") << "directories/lastFirmwares";
    }
    void foldersAreStoredUnderTheirKeys()
    {
        QFETCH(QString, key);
        const QString value = "/home/diver/dives/" + key.section('/', 1);
        AppSettings settings(folder());
        using Setter = void (AppSettings::*)(const QString&);
        using Getter = QString (AppSettings::*)() const;
        const QHash<QString, std::pair<Setter, Getter>> accessors{
            {AppSettings::kLastDiveFile, {&AppSettings::setLastDiveFile, &AppSettings::lastDiveFile}},
            {AppSettings::kLastExportDir, {&AppSettings::setLastExportDir, &AppSettings::lastExportDir}},
            {AppSettings::kLastSyslogDir, {&AppSettings::setLastSyslogDir, &AppSettings::lastSyslogDir}},
            {AppSettings::kLastPlanFile, {&AppSettings::setLastPlanFile, &AppSettings::lastPlanFile}},
            {AppSettings::kLastFirmwares, {&AppSettings::setLastFirmwares, &AppSettings::lastFirmwares}},
        };
        QVERIFY(accessors.contains(key));
        const auto [set, get] = accessors.value(key);
        (settings.*set)(value);
        QCOMPARE((settings.*get)(), value);
        // On disk at once, while the settings still live.
        QCOMPARE(storedValue(key), QVariant(value));
        QCOMPARE((AppSettings(folder()).*get)(), value);
        // Any folder name survives the round trip.
        const QString accented = "/home/diver/Plongées été 2024";
        (settings.*set)(accented);
        QCOMPARE((AppSettings(folder()).*get)(), accented);
    }

    void csvSeparatorIsStoredAsItsNumber_data()
    {
        QTest::addColumn<CsvSeparator>("separator");
        QTest::addColumn<int>("stored");
        QTest::newRow("dot") << CsvSeparator::Dot << 0;
        QTest::newRow("comma") << CsvSeparator::Comma << 1;
        QTest::newRow("semicolon") << CsvSeparator::Semicolon << 2;
    }
    void csvSeparatorIsStoredAsItsNumber()
    {
        QFETCH(CsvSeparator, separator);
        QFETCH(int, stored);
        AppSettings settings(folder());
        settings.setCsvSeparator(separator);
        QCOMPARE(storedValue("export/csvSeparator").toInt(), stored);
        QCOMPARE(AppSettings(folder()).csvSeparator(), separator);
    }

    void csvSeparatorIsReadBack_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<CsvSeparator>("separator");
        QTest::newRow("absent") << QByteArray() << CsvSeparator::Dot;
        QTest::newRow("0") << QByteArray("csvSeparator=0") << CsvSeparator::Dot;
        QTest::newRow("1") << QByteArray("csvSeparator=1") << CsvSeparator::Comma;
        QTest::newRow("2") << QByteArray("csvSeparator=2") << CsvSeparator::Semicolon;
        QTest::newRow("3") << QByteArray("csvSeparator=3") << CsvSeparator::Dot;
        QTest::newRow("negative") << QByteArray("csvSeparator=-1") << CsvSeparator::Dot;
        QTest::newRow("not a number") << QByteArray("csvSeparator=comma") << CsvSeparator::Dot;
    }
    void csvSeparatorIsReadBack()
    {
        QFETCH(QByteArray, line);
        QFETCH(CsvSeparator, separator);
        writeFile("settings.cfg", "[export]\n" + line + "\n");
        QCOMPARE(AppSettings(folder()).csvSeparator(), separator);
    }

    void optionIsOnOnlyForOne_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("absent") << QByteArray() << false;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("2") << QByteArray("2") << false;
        QTest::newRow("-1") << QByteArray("-1") << false;
        QTest::newRow("text") << QByteArray("true") << false;
    }
    void optionIsOnOnlyForOne()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, on);
        for (const char* key : {AppOptions::kSimulation, AppOptions::kPlanification,
                                AppOptions::kPlanificationAddOn, AppOptions::kImport}) {
            const QByteArray name = QString(key).section('/', 1).toUtf8();
            writeFile("options.ini",
                      value.isNull() ? QByteArray() : "[hidden]\n" + name + "=" + value + "\n");
            const AppOptions options = AppOptions::read(folder());
            const bool expected[] = {
                on && qstrcmp(key, AppOptions::kSimulation) == 0,
                on && qstrcmp(key, AppOptions::kPlanification) == 0,
                on && qstrcmp(key, AppOptions::kPlanificationAddOn) == 0,
                on && qstrcmp(key, AppOptions::kImport) == 0,
            };
            QCOMPARE(options.simulation, expected[0]);
            QCOMPARE(options.planification, expected[1]);
            QCOMPARE(options.planificationAddOn, expected[2]);
            QCOMPARE(options.import, expected[3]);
        }
    }

    void optionsAreNeverWritten()
    {
        writeFile("options.ini", "[hidden]\nimport=1\n");
        const QByteArray before = readFile("options.ini");
        QVERIFY(AppOptions::read(folder()).import);
        QCOMPARE(readFile("options.ini"), before);
        QVERIFY(!QFile::exists(folder() + "/settings.cfg"));
    }

private:
    QString folder() const { return mFolder->path(); }

    // The value as the file holds it, read by a separate file parser.
    QVariant storedValue(const QString& key) const
    {
        QFile file(folder() + "/settings.cfg");
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString group = '[' + key.section('/', 0, 0) + ']';
        const QString name = key.section('/', 1) + '=';
        QString current;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith('['))
                current = line;
            else if (current == group && line.startsWith(name))
                return line.mid(name.size());
        }
        return {};
    }

    void writeFile(const QString& name, const QByteArray& contents) const
    {
        QFile file(folder() + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(contents), contents.size());
    }

    QByteArray readFile(const QString& name) const
    {
        QFile file(folder() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> mFolder;
};

MAREVANE_TEST_MAIN(AppSettingsTest)
#include "tst_appsettings.moc"
