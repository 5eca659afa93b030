// Dive list benchmark: a logbook of 5,000 short dives on 10 computers in a
// temporary data folder. Times the main window's list rebuild (query and
// table), each part alone, the query beside the same statement run through
// SQLite's C interface, and storing one long dive of 36,000 and of 200,000
// samples through the database and through the window, which lists it.
//
//   divelist_bench [--dives N] [--runs N]
//
// Prints the figures; never fails on a timing.
#include "benchsetup.h"
#include "benchtiming.h"
#include "rawdatabase.h"
#include "divedb/divedb.h"
#include "divelisttable.h"
#include "mainwindow.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kComputers = 10;
// The list query may take at most this many times the same query through
// SQLite's C interface.
constexpr double kQueryRatioTarget = 1.5;

// One sample every `period` seconds, down to the deepest point and back.
Dive syntheticDive(const QString& name, int computer, int samples, double period, qint64 beginTime)
{
    Dive dive;
    dive.name = name;
    dive.computerSerial = QStringLiteral("SN-%1").arg(computer, 4, 10, QLatin1Char('0'));
    dive.computerName = QStringLiteral("Diver %1").arg(computer);
    dive.computerModel = 2;
    dive.beginTime = beginTime;
    dive.samplePeriod = quint16(period);
    dive.gases = {DiveGas()};
    dive.lines.reserve(samples);
    const double deepest = 12.0 + (beginTime / 3600) % 30;
    for (int i = 0; i < samples; ++i) {
        DiveLine line;
        line.timeSec = i * period;
        line.depth = deepest * std::sin(M_PI * i / std::max(1, samples - 1));
        line.ambientTemp = 20.0;
        dive.lines.append(line);
    }
    return dive;
}

void timeLongDive(MainWindow& window, int samples, int runs)
{
    int count = 0;
    const auto longDive = [&count, samples] {
        const int n = count++;
        return syntheticDive(QStringLiteral("Long %1-%2").arg(samples).arg(n), 0, samples, 1.0,
                             1500000000 + qint64(n) * 86400);
    };
    DiveDb* db = DiveDb::instance();
    QList<int> stored;
    const auto remember = [&stored, db](const Dive& dive) {
        stored.append(db->getDiveByName(dive.name, dive.computerSerial));
    };
    const double database = bench::bestMilliseconds(runs, [&] {
        const Dive dive = longDive();
        db->storeDive(dive);
        remember(dive);
    });
    const double windowStore = bench::bestMilliseconds(runs, [&] {
        const Dive dive = longDive();
        window.storeDive(dive);
        remember(dive);
    });
    for (const int id : stored)
        db->deleteDive(id);
    window.updateDiveList();
    std::printf("store one dive of %6d samples:  DiveDb::storeDive %8.1f ms   MainWindow::storeDive %8.1f ms\n",
                samples, database, windowStore);
}

// The list query of DiveDb and the same statement through SQLite's C
// interface, in turns on the same file, so that both meet the same machine.
void compareWithSqlite(int dives)
{
    constexpr int kTurns = 31;
    bench::RawDatabase raw(QSqlDatabase::database().databaseName());
    std::vector<double> ours;
    std::vector<double> sqlite;
    QList<DiveInfo> rows;
    int groups = 0;
    for (int turn = 0; turn < kTurns; ++turn) {
        ours.push_back(bench::bestMilliseconds(1, [&] {
            rows.clear();
            DiveDb::instance()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Ascending);
        }));
        sqlite.push_back(
            bench::bestMilliseconds(1, [&] { bench::rawDiveList(raw, SortField::Date, SortOrder::Ascending); }));
    }
    const double ratio = bench::median(ours) / bench::median(sqlite);
    std::printf("list query of %d dives, median of %d turns: DiveDb::getDives %6.2f ms   SQLite C %6.2f ms   "
                "ratio %4.2f (target at most %.1f)\n",
                dives, kTurns, bench::median(ours), bench::median(sqlite), ratio, kQueryRatioTarget);
}

} // namespace

int main(int argc, char** argv)
{
    const bench::WindowEnvironment environment;
    QApplication app(argc, argv);
    const int dives = bench::option(argc, argv, "--dives", 5000);
    const int runs = bench::option(argc, argv, "--runs", 5);

    MainWindow window;
    window.resize(1280, 800);
    window.show();
    bench::storeLogbook(
        dives,
        [](int i) {
            return syntheticDive(QStringLiteral("Dive %1").arg(i), i % kComputers, 60, 10.0,
                                 1600000000 + qint64(i) * 7200);
        },
        "divelist_bench");
    std::printf("Dive list of %d dives on %d computers, best of %d runs\n", dives, kComputers, runs);

    QList<DiveInfo> rows;
    int groups = 0;
    const double query = bench::bestMilliseconds(runs, [&] {
        rows.clear();
        DiveDb::instance()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Ascending);
    });
    compareWithSqlite(dives);
    QTableWidget table;
    table.resize(400, 600);
    table.show();
    const double fill = bench::bestMilliseconds(runs, [&] { DiveListTable(table).fill(rows, rows.at(rows.size() / 2).id); });
    const double rebuild = bench::bestMilliseconds(runs, [&] { window.updateDiveList(); });
    std::printf("query (DiveDb::getDives)            %8.1f ms\n", query);
    std::printf("table fill (DiveListTable::fill)    %8.1f ms\n", fill);
    auto* list = window.findChild<QTableWidget*>("diveList");
    const double open = bench::bestMilliseconds(runs, [&] { 
        window.openDiveProfileItem(DiveListTable(*list).itemOfDive(rows.at(rows.size() / 2).id));
    });
    std::printf("MainWindow::updateDiveList          %8.1f ms\n", rebuild);
    std::printf("MainWindow::openDiveProfileItem     %8.1f ms (read, show, highlight)\n", open);

    for (const int samples : {36000, 200000})
        timeLongDive(window, samples, 3);
    return 0;
}
