#pragma once

// The dive database's work done through SQLite's own C interface, for the
// benchmarks to set beside the figures of DiveDb.

#include "benchsetup.h"

#include "divedb/divelistquery.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

[[noreturn]] inline void rawFailure(const char* what, const char* detail = "")
{
    failure("SQLite", what, detail);
}

// A connection of its own to a database file.
class RawDatabase
{
public:
    explicit RawDatabase(const QString& path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &mDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            rawFailure("cannot open", path.toUtf8().constData());
    }
    ~RawDatabase() { sqlite3_close_v2(mDb); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    void exec(const char* sql)
    {
        if (sqlite3_exec(mDb, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            rawFailure(sqlite3_errmsg(mDb), sql);
    }

    // A statement prepared once and reused.
    class Statement
    {
    public:
        Statement(sqlite3* db, const char* sql)
            : mDb(db)
        {
            if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &mStatement, nullptr) != SQLITE_OK)
                rawFailure(sqlite3_errmsg(db), sql);
        }
        ~Statement() { sqlite3_finalize(mStatement); }
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;

        Statement& bind(int index, qint64 value)
        {
            sqlite3_bind_int64(mStatement, index, value);
            return *this;
        }
        Statement& bind(int index, double value)
        {
            sqlite3_bind_double(mStatement, index, value);
            return *this;
        }
        Statement& bind(int index, const QString& text)
        {
            const QByteArray utf8 = text.toUtf8();
            sqlite3_bind_text(mStatement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            return *this;
        }
        Statement& bind(int index, const QByteArray& blob)
        {
            sqlite3_bind_blob(mStatement, index, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
            return *this;
        }
        bool step()
        {
            const int result = sqlite3_step(mStatement);
            if (result != SQLITE_ROW && result != SQLITE_DONE)
                rawFailure(sqlite3_errmsg(mDb));
            return result == SQLITE_ROW;
        }
        void run()
        {
            while (step()) {
            }
            sqlite3_reset(mStatement);
        }
        void reset() { sqlite3_reset(mStatement); }
        qint64 integer(int column) const { return sqlite3_column_int64(mStatement, column); }
        double real(int column) const { return sqlite3_column_double(mStatement, column); }
        QString text(int column) const
        {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column)),
                                     sqlite3_column_bytes(mStatement, column));
        }

    private:
        sqlite3* mDb;
        sqlite3_stmt* mStatement = nullptr;
    };

    Statement statement(const char* sql) { return Statement(mDb, sql); }

private:
    sqlite3* mDb = nullptr;
};

// The whole dive list, by the statement DiveDb runs, its rows kept as Qt
// values (texts as QString, the date as seconds); returns the row count.
inline int rawDiveList(RawDatabase& raw, SortField field = SortField::Date,
                       SortOrder order = SortOrder::Descending)
{
    struct Row
    {
        qint64 id;
        QString name, serial, computer;
        qint64 dateTime;
        qint64 gfLow, gfHigh;
        double maxTime, maxDepth;
    };
    const QString text = DiveListQuery::forFilter(Filter(), field, order).text;
    RawDatabase::Statement list = raw.statement(text.toUtf8().constData());
    std::vector<Row> rows;
    while (list.step())
        rows.push_back({list.integer(0), list.text(1), list.text(2), list.text(4), list.integer(3), list.integer(5),
                        list.integer(6), list.real(7), list.real(8)});
    return int(rows.size());
}

} // namespace bench
