// Stores a big dive and stops in the middle of its samples, so that the crash
// test can kill it there: "Whole" (dive 1) is stored first, then "Big" stops at
// its sample 30000 after saying "paused" on its standard output.
#include "divedb/divedb.h"
#include "divefixtures.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

#include <cstdio>
#include <unistd.h>

namespace {

void pauseForever(sqlite3_context*, int, sqlite3_value**)
{
    std::fputs("paused\n", stdout);
    std::fflush(stdout);
    for (;;)
        pause();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    // Never outlives a test that forgot it.
    alarm(300);
    DiveDb* db = DiveDb::instance();
    if (db->setDatabase(QString::fromLocal8Bit(argv[1])) != DiveDb::Success)
        return 3;
    if (db->storeDive(testkit::makeDive("Whole", "S1", 2000)) != DiveDb::Success)
        return 4;

    // A small page cache writes the dive's pages into the file long before the
    // commit, as a big dive does on a real logbook.
    QSqlQuery(QStringLiteral("PRAGMA cache_size = 20"));
    sqlite3* handle =
        *static_cast<sqlite3* const*>(QSqlDatabase::database().driver()->handle().data());
    sqlite3_create_function(handle, "pause_midway", 0, SQLITE_UTF8, nullptr, pauseForever, nullptr,
                            nullptr);
    QSqlQuery(QStringLiteral("CREATE TEMP TRIGGER pause_midway AFTER INSERT ON main.profiles "
                             "WHEN NEW.diveid = 2 AND NEW.pointid = 30000 "
                             "BEGIN SELECT pause_midway(); END"));
    db->storeDive(testkit::makeDive("Big", "S1", 60000));
    std::fputs("finished\n", stdout);
    return 1;
}
