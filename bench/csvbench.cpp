// Times the CSV export and import of a dive of 100,000 samples (about 28 hours
// at one sample a second) and prints the figures. Never fails on a timing.

#include "divemodel/csvfile.h"
#include "divemodel/dive.h"

#include "benchtiming.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kSampleCount = 100000;
constexpr int kRuns = 5;

Dive benchmarkDive()
{
    Dive dive;
    dive.name = QStringLiteral("Bench");
    dive.computerName = QStringLiteral("Plongeur Élodie");
    dive.beginTime = 1700000000;
    dive.maxTime = kSampleCount - 1;
    DiveGas gas;
    gas.mName = QStringLiteral("Air");
    dive.gases = {gas};
    dive.lines.reserve(kSampleCount);
    for (int i = 0; i < kSampleCount; ++i) {
        DiveLine line;
        line.timeSec = i;
        line.depth = 20.0 + 15.0 * std::sin(i / 600.0);
        line.decoCeiling = std::fmod(i / 1000.0, 6.0) - 1.0;
        line.ambientTemp = 14.0 + std::cos(i / 900.0);
        line.battery = quint16(3700 - i / 100);
        line.gasIndex = i % 7 == 0 ? -1 : 0;
        line.alertFlag = quint8(i % 17 == 0 ? 0x84 : 0);
        line.alertFlagTransmitter = quint8(i % 13 == 0 ? 0x05 : 0);
        line.tankPressure = quint16(200 - i / 1000);
        line.ppO2 = 0.21 * (1.0 + line.depth / 10.0);
        dive.lines.append(line);
    }
    return dive;
}

// The TAB-separated layout the import reads, 20 fields a line.
void writeImportFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    for (int i = 0; i < kSampleCount; ++i) {
        out << i << '\t' << 20.0 + 15.0 * std::sin(i / 600.0) << "\t1.3\t14.5\t0.25\t1.5\t3\t12";
        for (int field = 8; field < 20; ++field)
            out << "\t0";
        out << '\n';
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Dive dive = benchmarkDive();
    const QString exportPath = dir.filePath(QStringLiteral("export.csv"));
    const QString importPath = dir.filePath(QStringLiteral("import.txt"));
    writeImportFile(importPath);

    bool ok = true;
    for (const int french : {0, 1}) {
        CsvFile csv;
        csv.separator = ';';
        csv.frenchLocale = french;
        const double ms = bench::bestMilliseconds(kRuns, [&] { ok = csv.write(exportPath, dive) && ok; });
        std::printf("CSV export, %d samples, %s numbers: %.1f ms (%.2f MB, best of %d)\n", kSampleCount,
                    french ? "French" : "C", ms, QFile(exportPath).size() / 1e6, kRuns);
    }

    int samplesRead = 0;
    const double importMs = bench::bestMilliseconds(kRuns, [&] {
        Dive imported;
        CsvFile csv;
        ok = csv.read(importPath, imported) && ok;
        samplesRead = int(imported.lines.size());
    });
    std::printf("CSV import, %d samples: %.1f ms (%.2f MB, best of %d)\n", samplesRead, importMs,
                QFile(importPath).size() / 1e6, kRuns);
    // One 8 MB line of fields: reading it must stay linear in its length,
    // close to what loading its bytes as text costs.
    const QString longLinePath = dir.filePath(QStringLiteral("long.txt"));
    {
        QFile file(longLinePath);
        ok = file.open(QIODevice::WriteOnly) && file.write(QByteArray("1.5\t").repeated(2 * 1024 * 1024)) > 0 && ok;
    }
    const double loadMs = bench::bestMilliseconds(kRuns, [&] {
        QFile file(longLinePath);
        ok = file.open(QIODevice::ReadOnly) && !QString::fromUtf8(file.readAll()).isEmpty() && ok;
    });
    const double longLineMs = bench::bestMilliseconds(kRuns, [&] {
        Dive refused;
        CsvFile csv;
        ok = !csv.read(longLinePath, refused) && ok;
    });
    std::printf("CSV import of one 8 MB line: %.1f ms, its bytes loaded as text %.1f ms (%.1f times, best of %d)\n",
                longLineMs, loadMs, longLineMs / loadMs, kRuns);
    if (!ok)
        std::printf("a CSV read or write failed\n");
    return ok ? 0 : 1;
}
