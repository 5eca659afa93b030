#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;

namespace testkit {

// A second connection to a database file through SQLite's own interface: it
// builds fixtures and looks at what the code under test wrote, without
// going through it.
class RawSqlite
{
public:
    explicit RawSqlite(const QString& path);
    ~RawSqlite();
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    bool isOpen() const { return mHandle != nullptr; }
    // Runs statements separated by semicolons; false (and the error in
    // lastError) when one fails.
    bool exec(const QString& sql);
    // Every row of a query, each a list of column values (NULL as a null
    // QVariant, integers as qint64, reals as double, texts as QString,
    // blobs as QByteArray).
    QList<QList<QVariant>> rows(const QString& sql);
    // The first column of the first row.
    QVariant value(const QString& sql);
    // The names and declared types of a table's columns, "name TYPE".
    QList<QString> columns(const QString& table);
    // Every row of every dive table, as text: what "nothing was written"
    // compares.
    QString snapshot();
    QString lastError() const { return mLastError; }

private:
    sqlite3* mHandle = nullptr;
    QString mLastError;
};

} // namespace testkit
