// Times the UDDF writer and the import of what it wrote for a dive of 200,000
// waypoints (about 55 hours at one a second), beside pugixml's bare load and
// save of the same file, and prints the figures with their targets. Never
// fails on a timing.

#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"
#include "divemodel/uddffile.h"

#include "benchtiming.h"
#include "uddfdives.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWaypointCount = 200000;
constexpr int kRuns = 5;
constexpr double kReadTargetMs = 300.0;
constexpr double kReadToLoadTarget = 1.5;
constexpr double kWriteTargetMs = 300.0;

// One sample a second, depths in centimetres and temperatures in tenths of a
// degree as a computer records them; hour-long closed-circuit spans on the
// diluent between open-circuit spans that switch between the bottom gas and
// the bailout; a ceiling for ten minutes of every hour and no-decompression
// times the rest of it.
Dive benchmarkDive()
{
    Dive dive;
    dive.name = QStringLiteral("Bench");
    dive.beginTime = 1720945230;
    dive.gases = {testkit::storedGas(21, 0, 0), testkit::storedGas(18, 45, 1), testkit::storedGas(50, 0, 2)};
    dive.lines.reserve(kWaypointCount);
    for (int i = 0; i < kWaypointCount; ++i) {
        DiveLine line;
        line.timeSec = i;
        line.depth = std::round(100.0 * (25.0 + 20.0 * std::sin(i / 900.0))) / 100.0;
        line.ambientTemp = std::round(10.0 * (14.0 + std::cos(i / 1200.0))) / 10.0;
        line.ccr = (i / 3600) % 2 == 1;
        line.gasIndex = line.ccr ? 1 : ((i / 600) % 2 == 0 ? 0 : 2);
        const int inHour = i % 3600;
        if (inHour >= 1800 && inHour < 2400)
            line.decoCeiling = inHour < 2100 ? 6.0 : 3.0;
        else
            line.ndl = qint16(99 - inHour / 60);
        dive.lines.append(line);
    }
    return dive;
}

void printFigure(const char* what, double ms, const char* target)
{
    std::printf("%-36s %8.1f ms   %s\n", what, ms, target);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.uddf"));
    const QByteArray localPath = QFile::encodeName(path);
    Dive dive = benchmarkDive();

    // The figures are taken in rounds, each timing every step once, so that
    // whatever else the machine does weighs alike on all of them.
    bool ok = true;
    qsizetype samplesRead = 0;
    const QString copyPath = dir.filePath(QStringLiteral("copy.uddf"));
    std::vector<double> writes, reads, loads, embeddedLoads, saves;
    for (int run = 0; run < kRuns; ++run) {
        writes.push_back(bench::milliseconds([&] { ok = UddfFile().write(path, dive) && ok; }));
        reads.push_back(bench::milliseconds([&] {
            Dive read;
            ok = DiveAnalysis::importDiveFile(read, path) && ok;
            samplesRead = read.lines.size();
        }));
        loads.push_back(bench::milliseconds([&] {
            pugi::xml_document document;
            ok = document.load_file(localPath.constData()) && ok;
        }));
        // The reader keeps each element's text in the element itself.
        embeddedLoads.push_back(bench::milliseconds([&] {
            pugi::xml_document document;
            ok = document.load_file(localPath.constData(), pugi::parse_default | pugi::parse_embed_pcdata) && ok;
        }));
        pugi::xml_document loaded;
        ok = loaded.load_file(localPath.constData()) && ok;
        saves.push_back(bench::milliseconds([&] {
            ok = loaded.save_file(QFile::encodeName(copyPath).constData(), "  ", pugi::format_indent) && ok;
        }));
    }
    const double writeMs = bench::median(writes);
    const double readMs = bench::median(reads);
    const double loadMs = bench::median(loads);
    const double embeddedLoadMs = bench::median(embeddedLoads);
    const double saveMs = bench::median(saves);

    std::printf("UDDF, %d waypoints, %.1f MB, %lld samples read; medians of %d runs\n", kWaypointCount,
                QFile(path).size() / 1e6, static_cast<long long>(samplesRead), kRuns);
    char target[128];
    std::snprintf(target, sizeof target, "(target <= %.0f ms)", kWriteTargetMs);
    printFigure("UddfFile::write", writeMs, target);
    std::snprintf(target, sizeof target, "(target <= %.0f ms and <= %.1f x the bare load: %.2f x)", kReadTargetMs,
                  kReadToLoadTarget, readMs / loadMs);
    printFigure("DiveAnalysis::importDiveFile", readMs, target);
    printFigure("pugixml load_file, bare", loadMs, "");
    std::snprintf(target, sizeof target, "(the reader's own load; the read is %.2f x it)", readMs / embeddedLoadMs);
    printFigure("pugixml load_file, text in elements", embeddedLoadMs, target);
    printFigure("pugixml save_file, bare", saveMs, "");
    if (!ok)
        std::printf("a UDDF read or write failed\n");
    return ok ? 0 : 1;
}
