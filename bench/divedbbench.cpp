// Dive database benchmark on a generated logbook: opening, the full dive
// list, storing (read back before the commit), reading and deleting a
// 10,800-sample dive through DiveDb, each beside the same work done through
// SQLite's own C interface.
//
//   divedb_bench [--heavy] [--dives N] [--samples N] [--runs N] [--file PATH]
//
// The default logbook is 1,000 dives of 3,600 samples; --heavy makes it 5,000
// dives of 3,000 samples (15 million sample rows, about 1.5 GB). Figures are
// medians of the runs, with a warm file cache.
#include "benchtiming.h"
#include "rawdatabase.h"

#include "divedb/divedb.h"
#include "divedb/divelistquery.h"
#include "divedb/diveschema.h"
#include "divemodel/diveanalysis.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using bench::RawDatabase;

[[noreturn]] void fail(const char* what, const char* detail = "")
{
    bench::failure("divedb_bench", what, detail);
}

// A dive as a computer gives it: one sample a second, down and back up, with
// temperature, tank pressure and deco figures moving.
Dive generatedDive(const QString& name, int samples, int seed)
{
    Dive dive;
    dive.name = name;
    dive.computerName = QStringLiteral("Pelavix");
    dive.computerSerial = QStringLiteral("PX-%1").arg(seed % 3);
    dive.computerModel = 2;
    dive.beginTime = 1600000000 + qint64(seed) * 86400;
    dive.samplePeriod = 1;
    DiveGas nitrox;
    nitrox.setFractionO2(0.32);
    dive.gases = {DiveGas(), nitrox};
    dive.lines.reserve(samples);
    const double deepest = 20.0 + seed % 40;
    for (int i = 0; i < samples; ++i) {
        const double phase = double(i) / std::max(1, samples - 1);
        DiveLine line;
        line.timeSec = i;
        line.depth = deepest * std::sin(M_PI * phase);
        line.ambientTemp = 24.0 - line.depth / 4.0;
        line.otu = 0.01 * i;
        line.cns = 0.002 * i;
        line.decoCeiling = line.depth > 30.0 ? 3.0 : 0.0;
        line.gradientFactor = 0.3 + 0.5 * phase;
        line.gasIndex = phase < 0.8 ? 0 : 1;
        line.battery = 3900;
        line.tankPressure = quint16(200 - 150 * phase);
        line.tankPressureTxIndex = 0;
        line.gfLow = 30;
        line.gfHigh = 85;
        line.ppO2 = 0.21 * (1.0 + line.depth / 10.0);
        line.pelavixAlerts = i % 600 == 0 ? 0x0401 : 0;
        dive.lines.append(line);
    }
    return dive;
}

const char* const kInsertDive =
    "INSERT INTO dives (diveid, name, computer, datetime, serial, period, alerts, alertsAI, "
    "divermode, divemode, ocdivemode, gfslow, gfshigh, waterdensity, psurf, computertype, "
    "firmwareversion, place, site, buddy, diveNumber, uploaded, gasSet, diverN2, diverHe) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 0, 0, 0, 1, 30, 85, 0, 1013, ?8, '', '', '', '', 0, 0, 1, "
    "?9, ?9)";
const char* const kInsertGas =
    "INSERT INTO gases (diveid, gasid, o2, he, gasClass) VALUES (?, ?, ?, ?, 0)";
const char* const kInsertSample =
    "INSERT INTO profiles (diveid, pointid, time, depth, temperature, OTU, CNS, decoCeiling, "
    "gradientFactor, alertFlag, gasindex, alertAI, battery, tankPressure, gfLow, gfHigh, ppo2, "
    "tankPressureTxIndex, alertPelavix) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
    "?, ?)";

void insertDive(RawDatabase& raw, qint64 id, const Dive& dive)
{
    RawDatabase::Statement row = raw.statement(kInsertDive);
    row.bind(1, id).bind(2, dive.name).bind(3, dive.computerName).bind(4, qint64(dive.beginTime));
    row.bind(5, dive.computerSerial).bind(6, qint64(dive.samplePeriod));
    row.bind(7, qint64(dive.alertsPelavix)).bind(8, qint64(dive.computerModel));
    row.bind(9, QByteArray(32, '\0'));
    row.run();
    RawDatabase::Statement gas = raw.statement(kInsertGas);
    for (qsizetype i = 0; i < dive.gases.size(); ++i) {
        gas.bind(1, id).bind(2, qint64(i + 1)).bind(3, qint64(dive.gases.at(i).o2Percent()));
        gas.bind(4, qint64(dive.gases.at(i).hePercent()));
        gas.run();
    }
}

void insertSamples(RawDatabase::Statement& sample, qint64 id, const Dive& dive)
{
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& l = dive.lines.at(i);
        sample.bind(1, id)
            .bind(2, qint64(i))
            .bind(3, l.timeSec)
            .bind(4, l.depth)
            .bind(5, l.ambientTemp);
        sample.bind(6, l.otu).bind(7, l.cns).bind(8, l.decoCeiling).bind(9, l.gradientFactor);
        sample.bind(10, qint64(l.alertFlag)).bind(11, qint64(l.gasIndex));
        sample.bind(12, qint64(l.alertFlagTransmitter)).bind(13, qint64(l.battery));
        sample.bind(14, qint64(l.tankPressure))
            .bind(15, qint64(l.gfLow))
            .bind(16, qint64(l.gfHigh));
        sample.bind(17, l.ppO2).bind(18, qint64(qint8(l.tankPressureTxIndex)));
        sample.bind(19, qint64(l.pelavixAlerts) + 65536 * qint64(l.pelavixAlerts2 & 0xff));
        sample.run();
    }
}

// The logbook, written as an older version of the program would have: no
// per-dive figures yet.
void generateLogbook(const QString& path, int dives, int samples)
{
    if (DiveDb::instance()->setDatabase(path) != DiveDb::Success)
        fail("cannot create", path.toUtf8().constData());
    DiveDb::instance()->setDatabase(QString()); // lets go of the file
    RawDatabase raw(path);
    raw.exec("PRAGMA cache_size = -200000");
    raw.exec("BEGIN");
    RawDatabase::Statement sample = raw.statement(kInsertSample);
    for (int d = 1; d <= dives; ++d) {
        const Dive dive = generatedDive(QStringLiteral("Dive %1").arg(d), samples, d);
        insertDive(raw, d, dive);
        insertSamples(sample, d, dive);
        if (d % 100 == 0) {
            std::fprintf(stderr, "\rgenerating: %d of %d dives", d, dives);
            std::fflush(stderr);
        }
    }
    raw.exec("COMMIT");
    std::fprintf(stderr, "\n");
}

// What DiveDb::setDatabase does on a file that is up to date.
void rawOpen(const QString& path)
{
    RawDatabase raw(path);
    raw.exec("BEGIN IMMEDIATE");
    {
        RawDatabase::Statement tables =
            raw.statement("SELECT name FROM sqlite_master WHERE type='table' AND substr(name, 1, "
                          "7) <> 'sqlite_'");
        while (tables.step()) {
        }
    }
    for (const diveschema::ColumnCheck& check : diveschema::migratedColumns()) {
        RawDatabase::Statement columns = raw.statement(
            QStringLiteral("PRAGMA table_info(%1)").arg(check.table).toUtf8().constData());
        bool found = false;
        while (columns.step())
            found = found ||
                    columns.text(1).compare(QLatin1String(check.column), Qt::CaseInsensitive) == 0;
        if (!found)
            fail("missing column", check.column);
    }
    raw.exec("UPDATE dives SET uploaded=0 WHERE uploaded IS NULL");
    raw.exec(diveschema::createFigures);
    for (const char* trigger : diveschema::createFiguresTriggers)
        raw.exec(trigger);
    raw.exec(diveschema::fillMissingFigures);
    {
        RawDatabase::Statement version = raw.statement("PRAGMA user_version");
        version.step();
    }
    raw.exec("COMMIT");
}

// The rows of the dive, read back and compared value for value, as a store
// does before its commit.
void rawReadBack(RawDatabase& raw, qint64 id, const Dive& dive)
{
    RawDatabase::Statement row =
        raw.statement("SELECT diveid, name, computer, datetime, serial, period, alerts, computertype "
                      "FROM dives WHERE diveid=?");
    row.bind(1, id);
    if (!row.step() || row.integer(0) != id || row.text(1) != dive.name || row.text(2) != dive.computerName ||
        row.integer(3) != dive.beginTime || row.text(4) != dive.computerSerial ||
        row.integer(5) != dive.samplePeriod || row.integer(6) != qint64(dive.alertsPelavix) ||
        row.integer(7) != dive.computerModel || row.step())
        fail("dive row read back otherwise");
    RawDatabase::Statement gases =
        raw.statement("SELECT diveid, gasid, o2, he, gasClass FROM gases WHERE diveid=? ORDER BY gasid");
    gases.bind(1, id);
    for (qsizetype i = 0; i < dive.gases.size(); ++i) {
        if (!gases.step() || gases.integer(1) != i + 1 || gases.integer(2) != dive.gases.at(i).o2Percent() ||
            gases.integer(3) != dive.gases.at(i).hePercent())
            fail("gas read back otherwise");
    }
    if (gases.step())
        fail("gas read back otherwise");
    RawDatabase::Statement samples = raw.statement(
        "SELECT diveid, pointid, time, depth, temperature, OTU, CNS, decoCeiling, gradientFactor, alertFlag, "
        "gasindex, alertAI, battery, tankPressure, gfLow, gfHigh, ppo2, tankPressureTxIndex, alertPelavix "
        "FROM profiles WHERE diveid=? ORDER BY pointid");
    samples.bind(1, id);
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& l = dive.lines.at(i);
        if (!samples.step() || samples.integer(0) != id || samples.integer(1) != i ||
            samples.real(2) != l.timeSec || samples.real(3) != l.depth || samples.real(4) != l.ambientTemp ||
            samples.real(5) != l.otu || samples.real(6) != l.cns || samples.real(7) != l.decoCeiling ||
            samples.real(8) != l.gradientFactor || samples.integer(9) != l.alertFlag ||
            samples.integer(10) != l.gasIndex || samples.integer(11) != l.alertFlagTransmitter ||
            samples.integer(12) != l.battery || samples.integer(13) != l.tankPressure ||
            samples.integer(14) != l.gfLow || samples.integer(15) != l.gfHigh || samples.real(16) != l.ppO2 ||
            samples.integer(17) != qint8(l.tankPressureTxIndex) ||
            samples.integer(18) != qint64(l.pelavixAlerts) + 65536 * qint64(l.pelavixAlerts2 & 0xff))
            fail("sample read back otherwise");
    }
    if (samples.step())
        fail("sample read back otherwise");
}

void rawStore(RawDatabase& raw, qint64 id, const Dive& dive)
{
    raw.exec("BEGIN IMMEDIATE");
    {
        RawDatabase::Statement same =
            raw.statement("SELECT diveid FROM dives WHERE name=? AND serial=?");
        same.bind(1, dive.name).bind(2, dive.computerSerial);
        if (same.step())
            fail("already stored");
        RawDatabase::Statement count = raw.statement("SELECT COUNT(diveid) FROM dives");
        count.step();
        RawDatabase::Statement max = raw.statement("SELECT MAX(diveid) FROM dives");
        max.step();
    }
    insertDive(raw, id, dive);
    RawDatabase::Statement sample = raw.statement(kInsertSample);
    insertSamples(sample, id, dive);
    RawDatabase::Statement figures = raw.statement(diveschema::writeFiguresOfDive);
    figures.bind(1, id);
    figures.run();
    rawReadBack(raw, id, dive);
    raw.exec("COMMIT");
}

Dive rawRead(RawDatabase& raw, qint64 id)
{
    Dive dive;
    RawDatabase::Statement row = raw.statement(
        "SELECT diveid, name, computer, datetime, serial, period, divermode, divemode, ocdivemode, "
        "gfslow, gfshigh, waterdensity, psurf, alerts, alertsAI, computertype, gasSet, "
        "firmwareversion, place, site, buddy, diveNumber, uploaded, diverN2, diverHe "
        "FROM dives WHERE diveid=?");
    row.bind(1, id);
    if (!row.step())
        fail("no such dive");
    dive.name = row.text(1);
    dive.computerName = row.text(2);
    dive.beginTime = row.integer(3);
    dive.computerSerial = row.text(4);
    dive.computerModel = int(row.integer(15));
    RawDatabase::Statement gases =
        raw.statement("SELECT gasid, o2, he, gasClass FROM gases WHERE diveid=? ORDER BY gasid");
    gases.bind(1, id);
    while (gases.step()) {
        DiveGas gas;
        gas.setFractionO2(gases.integer(1) / 100.0);
        gas.setFractionHe(gases.integer(2) / 100.0);
        dive.gases.append(gas);
    }
    RawDatabase::Statement samples = raw.statement(
        "SELECT time, depth, temperature, OTU, CNS, decoCeiling, gradientFactor, alertFlag, "
        "gasindex, battery, tankPressure, gfLow, gfHigh, ppo2, alertAI, alertPelavix, "
        "tankPressureTxIndex FROM profiles WHERE diveid=? ORDER BY pointid");
    samples.bind(1, id);
    while (samples.step()) {
        DiveLine line;
        line.timeSec = samples.real(0);
        line.depth = samples.real(1);
        line.ambientTemp = samples.real(2);
        line.otu = samples.real(3);
        line.cns = samples.real(4);
        line.decoCeiling = samples.real(5);
        line.gradientFactor = samples.real(6);
        line.alertFlag = quint8(samples.integer(7));
        line.gasIndex = int(samples.integer(8));
        line.battery = quint16(samples.integer(9));
        line.tankPressure = quint16(samples.integer(10));
        line.gfLow = quint8(samples.integer(11));
        line.gfHigh = quint8(samples.integer(12));
        line.ppO2 = samples.real(13);
        line.alertFlagTransmitter = quint8(samples.integer(14));
        line.pelavixAlerts = quint16(samples.integer(15) & 0xffff);
        line.pelavixAlerts2 = quint16((samples.integer(15) >> 16) & 0xff);
        line.tankPressureTxIndex = quint8(samples.integer(16));
        dive.lines.append(line);
    }
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
    DiveAnalysis::createCeilPointsFromLines(dive);
    return dive;
}

void rawDelete(RawDatabase& raw, qint64 id)
{
    raw.exec("BEGIN IMMEDIATE");
    for (const char* sql :
         {"DELETE FROM profiles WHERE diveid=?", "DELETE FROM gases WHERE diveid=?",
          "DELETE FROM dives WHERE diveid=?"}) {
        RawDatabase::Statement remove = raw.statement(sql);
        remove.bind(1, id);
        remove.run();
    }
    raw.exec("COMMIT");
}

struct Figure
{
    const char* what;
    double limit;
    std::vector<double> divedb;
    std::vector<double> raw;
    // The largest ratio to SQLite's C interface aimed at; 0 for none.
    double ratioLimit = 0;
};

void report(const Figure& figure)
{
    const double ours = bench::median(figure.divedb);
    const double theirs = bench::median(figure.raw);
    std::printf("%-34s %9.2f ms  (target %4.0f ms)   SQLite C %9.2f ms   ratio %5.2f", figure.what, ours,
                figure.limit, theirs, theirs > 0 ? ours / theirs : 0.0);
    if (figure.ratioLimit > 0)
        std::printf(" (target %.2f)", figure.ratioLimit);
    std::printf("\n");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int dives = 1000;
    int samples = 3600;
    int runs = 7;
    QString file;
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString next = arguments.value(i + 1);
        if (argument == "--heavy") {
            dives = 5000;
            samples = 3000;
        } else if (argument == "--dives") {
            dives = next.toInt(), ++i;
        } else if (argument == "--samples") {
            samples = next.toInt(), ++i;
        } else if (argument == "--runs") {
            runs = std::max(1, next.toInt()), ++i;
        } else if (argument == "--file") {
            file = next, ++i;
        } else {
            fail("unknown argument", argument.toUtf8().constData());
        }
    }
    QTemporaryDir folder;
    const QString path = file.isEmpty() ? folder.filePath("diveDB.db") : file;
    DiveDb* db = DiveDb::instance();

    if (!QFileInfo::exists(path))
        generateLogbook(path, dives, samples);
    const double firstOpen = bench::milliseconds([&] {
        if (db->setDatabase(path) != DiveDb::Success)
            fail("cannot open", db->lastError().toUtf8().constData());
    });
    {
        RawDatabase raw(path);
        RawDatabase::Statement rows = raw.statement("SELECT MAX(rowid) FROM profiles");
        rows.step();
        std::printf("logbook: %d dives, %lld sample rows, %.0f MB\n", db->getNbDives(),
                    qlonglong(rows.integer(0)), QFileInfo(path).size() / 1e6);
    }
    std::printf("first opening, figures computed once: %.0f ms\n\n", firstOpen);

    Figure open{"open (setDatabase)", 100, {}, {}};
    Figure list{"full list (getDives)", 150, {}, {}};
    Figure store{"store 10,800 samples (storeDive)", 100, {}, {}, 1.5};
    Figure read{"read 10,800 samples (readDive)", 50, {}, {}, 1.5};
    Figure remove{"delete it (deleteDive)", 50, {}, {}};
    int listed = 0;
    for (int run = 0; run < runs; ++run) {
        open.divedb.push_back(bench::milliseconds([&] { db->setDatabase(path); }));
        open.raw.push_back(bench::milliseconds([&] { rawOpen(path); }));

        list.divedb.push_back(bench::milliseconds([&] {
            QList<DiveInfo> rows;
            int groups = 0;
            db->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Descending);
            listed = int(rows.size());
        }));
        RawDatabase raw(path);
        list.raw.push_back(bench::milliseconds([&] { bench::rawDiveList(raw); }));
    }

    // The first write after opening checks the whole file once; the writes
    // after it are measured apart.
    const double firstWrite = bench::milliseconds([&] {
        if (!db->markUploaded(1, false))
            fail("first write failed", db->lastError().toUtf8().constData());
    });
    for (int run = 0; run < runs; ++run) {
        const Dive ours = generatedDive(QStringLiteral("Bench %1").arg(run), 10800, run);
        const Dive theirs = generatedDive(QStringLiteral("Raw %1").arg(run), 10800, run);
        store.divedb.push_back(bench::milliseconds([&] {
            if (db->storeDive(ours) != DiveDb::Success)
                fail("store failed", db->lastError().toUtf8().constData());
        }));
        const int ourId = db->getDiveByName(ours.name, ours.computerSerial);
        RawDatabase raw(path);
        const qint64 theirId = db->getMaxDiveId() + 1;
        store.raw.push_back(bench::milliseconds([&] { rawStore(raw, theirId, theirs); }));

        Dive back;
        read.divedb.push_back(bench::milliseconds([&] {
            if (!db->readDive(ourId, back) || back.lines.size() != 10800)
                fail("read failed");
        }));
        read.raw.push_back(bench::milliseconds([&] {
            if (rawRead(raw, theirId).lines.size() != 10800)
                fail("raw read failed");
        }));

        remove.divedb.push_back(bench::milliseconds([&] {
            if (!db->deleteDive(ourId))
                fail("delete failed");
        }));
        remove.raw.push_back(bench::milliseconds([&] { rawDelete(raw, theirId); }));
    }
    std::printf("first write after opening, the whole file checked: %.0f ms\n", firstWrite);
    std::printf("%d runs, medians; the list has %d rows\n", runs, listed);
    for (const Figure* figure : {&open, &list, &store, &read, &remove})
        report(*figure);
    return 0;
}
