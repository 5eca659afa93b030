#include "rawsqlite.h"

#include <sqlite3.h>

namespace testkit {

RawSqlite::RawSqlite(const QString& path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &mHandle,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        mLastError = QString::fromUtf8(sqlite3_errmsg(mHandle));
        sqlite3_close(mHandle);
        mHandle = nullptr;
    }
}

RawSqlite::~RawSqlite()
{
    sqlite3_close(mHandle);
}

bool RawSqlite::exec(const QString& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(mHandle, sql.toUtf8().constData(), nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    mLastError = QString::fromUtf8(error ? error : sqlite3_errmsg(mHandle));
    sqlite3_free(error);
    return false;
}

QList<QList<QVariant>> RawSqlite::rows(const QString& sql)
{
    QList<QList<QVariant>> result;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(mHandle, sql.toUtf8().constData(), -1, &statement, nullptr) !=
        SQLITE_OK) {
        mLastError = QString::fromUtf8(sqlite3_errmsg(mHandle));
        return result;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QList<QVariant> row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER: row.append(qint64(sqlite3_column_int64(statement, i))); break;
            case SQLITE_FLOAT: row.append(sqlite3_column_double(statement, i)); break;
            case SQLITE_TEXT:
                row.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
                break;
            case SQLITE_BLOB:
                row.append(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, i)),
                                      sqlite3_column_bytes(statement, i)));
                break;
            default: row.append(QVariant()); break;
            }
        }
        result.append(row);
    }
    sqlite3_finalize(statement);
    return result;
}

QVariant RawSqlite::value(const QString& sql)
{
    const QList<QList<QVariant>> all = rows(sql);
    return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
}

QList<QString> RawSqlite::columns(const QString& table)
{
    QList<QString> names;
    for (const QList<QVariant>& row : rows(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        names.append(row.at(1).toString() + ' ' + row.at(2).toString());
    return names;
}

QString RawSqlite::snapshot()
{
    QString all;
    for (const char* table : {"dives", "gases", "profiles", "divefigures"}) {
        for (const auto& row : rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table))) {
            all += table;
            for (const QVariant& value : row)
                all += '|' + (value.isNull() ? QStringLiteral("NULL") : value.toString());
            all += '\n';
        }
    }
    return all;
}

} // namespace testkit
