#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// A statement run straight through SQLite's C interface on the connection
// that Qt's driver opened. For queries of thousands of rows: the driver turns
// every value into a QVariant and every text into UTF-16 first, which costs
// as much again as the query itself.
class SqliteStatement
{
public:
    // Prepares the statement and binds the values in order (texts, integers
    // and reals); on failure error() says why.
    SqliteStatement(const QSqlDatabase& database, const QString& text, const QList<QVariant>& values);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Moves to the next row; false at the end or on an error (then error()
    // is not empty).
    bool next();
    QString error() const { return mError; }

    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;

private:
    void fail();
    bool bind(int index, const QVariant& value);

    sqlite3* mHandle = nullptr;
    sqlite3_stmt* mStatement = nullptr;
    QString mError;
};
